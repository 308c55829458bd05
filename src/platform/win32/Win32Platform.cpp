#include "platform/win32/Win32Platform.h"

#include <windows.h>

#include "platform/win32/AtomicCopy.h"
#include "platform/win32/Win32Files.h"

namespace vx::win32 {

Win32Platform::Win32Platform(std::string_view registryRoot, FileSteps& steps)
    : settings_(registryRoot), steps_(steps) {}

std::optional<std::string> Win32Platform::GetSetting(std::string_view app, std::string_view section,
                                                     std::string_view key) {
    return settings_.Get(app, section, key);
}

void Win32Platform::SaveSetting(std::string_view app, std::string_view section,
                                std::string_view key, std::string_view value) {
    settings_.Save(app, section, key, value);
}

std::string Win32Platform::LookupEntry(const std::string& path, EntryKind kind) {
    return win32::LookupEntry(path, kind);
}

std::int64_t Win32Platform::FileSize(const std::string& path) {
    return win32::FileSize(path);
}

void Win32Platform::ReplaceFile(const std::string& source, const std::string& destination) {
    win32::ReplaceFile(steps_, source, destination);
}

bool Win32Platform::CopyFileIfAbsent(const std::string& source, const std::string& destination) {
    return win32::CopyFileIfAbsent(steps_, source, destination);
}

void Win32Platform::MakeFolder(const std::string& path) {
    win32::MakeFolder(path);
}

void Win32Platform::RemoveLeftovers(const std::string& folder) noexcept {
    win32::RemoveLeftovers(folder);
}

char Win32Platform::DecimalSeparator() const {
    wchar_t separator[8] = {};
    if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, separator, 8) > 0 &&
        separator[0] > 0 && separator[0] < 0x80) {
        return static_cast<char>(separator[0]);
    }
    return '.';  // the count is written with plain digits, so this is the safe reading
}

std::string Win32Platform::SuggestedGameFolder() const {
    return "C:\\program files\\vexmoor";
}

}  // namespace vx::win32
