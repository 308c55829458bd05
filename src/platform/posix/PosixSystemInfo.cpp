#include "platform/posix/PosixSystemInfo.h"

#include <langinfo.h>
#include <locale.h>
#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <optional>

#include "platform/posix/SteamSearch.h"

namespace vx::posix {

std::filesystem::path HomeFolder() {
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
        return home;
    }
    if (const passwd* entry = ::getpwuid(::getuid()); entry != nullptr) {
        return entry->pw_dir;
    }
    return "/";
}

char PosixSystemInfo::DecimalSeparator() const {
    // The user's locale, whatever the process's global locale happens to be.
    locale_t user = ::newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(nullptr));
    if (user == static_cast<locale_t>(nullptr)) {
        return '.';
    }
    const char* radix = ::nl_langinfo_l(RADIXCHAR, user);
    const char separator =
        radix != nullptr && radix[0] != '\0' && radix[1] == '\0' ? radix[0] : '.';
    ::freelocale(user);
    return separator;
}

std::string PosixSystemInfo::LocalDate() const {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    char text[16] = {};
    if (::localtime_r(&now, &local) == nullptr ||
        std::strftime(text, sizeof text, "%Y-%m-%d", &local) == 0) {
        return "0000-00-00";
    }
    return text;
}

std::string PosixSystemInfo::SuggestedGameFolder() const {
    if (std::optional<std::string> inSteam = FindGameInSteam(HomeFolder())) {
        return *inSteam;
    }
    return (HomeFolder() / ".steam/steam/steamapps/common/vexmoor").string();
}

}  // namespace vx::posix
