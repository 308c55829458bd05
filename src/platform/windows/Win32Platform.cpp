#include "platform/windows/Win32Platform.h"

#include <windows.h>

#include <cstdio>

#include "platform/windows/AtomicCopy.h"
#include "platform/windows/LongPath.h"
#include "platform/windows/SteamSearch.h"
#include "platform/windows/Utf.h"
#include "platform/windows/Win32Files.h"
#include "state/Error.h"

namespace vx::windows {

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
    return windows::LookupEntry(path, kind);
}

std::int64_t Win32Platform::FileSize(const std::string& path) {
    return windows::FileSize(path);
}

std::optional<FileIdentity> Win32Platform::IdentifyFile(const std::string& path) noexcept {
    return windows::IdentifyFile(path);
}

void Win32Platform::ReplaceWithCopy(const std::string& source, const std::string& destination,
                                    CopyProgress& progress) {
    windows::ReplaceWithCopy(steps_, source, destination, progress);
}

bool Win32Platform::CopyFileIfAbsent(const std::string& source, const std::string& destination,
                                     CopyProgress& progress) {
    return windows::CopyFileIfAbsent(steps_, source, destination, progress);
}

void Win32Platform::MakeFolder(const std::string& path) {
    windows::MakeFolder(path);
}

std::optional<std::int64_t> Win32Platform::FreeSpace(const std::string& folder) noexcept {
    try {
        ULARGE_INTEGER available{};
        if (GetDiskFreeSpaceExW(ApiPath(folder).c_str(), &available, nullptr, nullptr) == FALSE) {
            return std::nullopt;
        }
        return static_cast<std::int64_t>(available.QuadPart);
    } catch (const Error&) {
        return std::nullopt;  // a path that is no UTF-8 names no folder
    }
}

bool Win32Platform::HeldByAnotherProgram(const Error& error) const {
    return error.Number() == ERROR_SHARING_VIOLATION || error.Number() == ERROR_LOCK_VIOLATION;
}

void Win32Platform::RemoveLeftovers(const std::string& folder) noexcept {
    windows::RemoveLeftovers(folder);
}

bool Win32Platform::PathsMatchIgnoringCase(std::string_view a, std::string_view b) const {
    // NTFS compares names by its own upper-case table, which ordinal comparison ignoring case
    // follows; linguistic rules would call names equal that are two files on the disk.
    try {
        const std::wstring wideA = ToUtf16(a);
        const std::wstring wideB = ToUtf16(b);
        return CompareStringOrdinal(wideA.c_str(), static_cast<int>(wideA.size()), wideB.c_str(),
                                    static_cast<int>(wideB.size()), TRUE) == CSTR_EQUAL;
    } catch (const Error&) {
        // Text that is no UTF-8 names no file Windows has; only the very same bytes match.
        return a == b;
    }
}

char Win32Platform::DecimalSeparator() const {
    wchar_t separator[8] = {};
    if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, separator, 8) > 0 &&
        separator[0] > 0 && separator[0] < 0x80) {
        return static_cast<char>(separator[0]);
    }
    return '.';  // the count is written with plain digits, so this is the safe reading
}

std::string Win32Platform::LocalDate() const {
    SYSTEMTIME local{};
    GetLocalTime(&local);
    char text[16] = {};
    std::snprintf(text, sizeof text, "%04u-%02u-%02u", local.wYear, local.wMonth, local.wDay);
    return text;
}

std::string Win32Platform::SuggestedGameFolder() const {
    if (std::optional<std::string> inSteam = FindGameInSteam()) {
        return *inSteam;
    }
    return "C:\\program files\\vexmoor";
}

}  // namespace vx::windows
