#include "platform/windows-services/Win32SystemInfo.h"

#include <windows.h>

#include <cstdio>
#include <optional>

#include "platform/windows-services/SteamSearch.h"

namespace vx::windows {

char Win32SystemInfo::DecimalSeparator() const {
    wchar_t separator[8] = {};
    if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, separator, 8) > 0 &&
        separator[0] > 0 && separator[0] < 0x80) {
        return static_cast<char>(separator[0]);
    }
    return '.';  // the count is written with plain digits, so this is the safe reading
}

std::string Win32SystemInfo::LocalDate() const {
    SYSTEMTIME local{};
    GetLocalTime(&local);
    char text[16] = {};
    std::snprintf(text, sizeof text, "%04u-%02u-%02u", local.wYear, local.wMonth, local.wDay);
    return text;
}

std::string Win32SystemInfo::SuggestedGameFolder() const {
    if (std::optional<std::string> inSteam = FindGameInSteam()) {
        return *inSteam;
    }
    return "C:\\program files\\vexmoor";
}

}  // namespace vx::windows
