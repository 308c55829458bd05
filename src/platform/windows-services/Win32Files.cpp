#include "platform/windows-services/Win32Files.h"

#include <windows.h>

#include "platform/windows-services/AtomicCopy.h"
#include "platform/windows-services/Handle.h"
#include "platform/windows-services/LongPath.h"
#include "platform/windows-services/Messages.h"
#include "platform/windows-services/Utf.h"
#include "platform/windows-services/Win32Error.h"

namespace vx::windows {

namespace {

bool Matches(const WIN32_FIND_DATAW& entry, EntryKind kind) {
    if (entry.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) {
        return false;
    }
    return kind == EntryKind::FilesAndFolders ||
           !(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsNotThere(DWORD code) {
    // A name that cannot exist (ERROR_INVALID_NAME) matches nothing either.
    return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND ||
           code == ERROR_NO_MORE_FILES || code == ERROR_INVALID_NAME || code == ERROR_DIRECTORY;
}

}  // namespace

bool ReadFileInformation(const std::wstring& path, BY_HANDLE_FILE_INFORMATION& info) {
    UniqueFile file(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return file && GetFileInformationByHandle(file.Get(), &info);
}

std::optional<FileIdentity> IdentifyApiPath(const std::wstring& path) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!ReadFileInformation(path, info)) {
        return std::nullopt;
    }
    return FileIdentity{info.dwVolumeSerialNumber,
                        (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow};
}

std::optional<FileIdentity> IdentifyFile(const std::string& path) noexcept {
    try {
        return IdentifyApiPath(ApiPath(path));
    } catch (...) {
        return std::nullopt;  // a path that is no UTF-8 names no file
    }
}

std::string LookupEntry(const std::string& path, EntryKind kind) {
    // FindFirstFileW would take these as a pattern; "<", ">" and '"' are its DOS wildcards.
    if (LastComponent(path).find_first_of("*?<>\"") != std::string_view::npos) {
        return {};
    }
    const std::wstring apiPath = ApiPath(path);
    WIN32_FIND_DATAW entry{};
    UniqueFind find(FindFirstFileW(apiPath.c_str(), &entry));
    if (!find) {
        const DWORD code = GetLastError();
        if (IsNotThere(code)) {
            return {};
        }
        throw SystemError(code, path);
    }
    // An exact name can still match twice, once by its short 8.3 alias.
    do {
        if (Matches(entry, kind)) {
            return ToUtf8(entry.cFileName);
        }
    } while (FindNextFileW(find.Get(), &entry));
    return {};
}

std::int64_t FileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (path.empty()) {
        throw SystemError(ERROR_PATH_NOT_FOUND, path);
    }
    if (!GetFileAttributesExW(ApiPath(path).c_str(), GetFileExInfoStandard, &data)) {
        throw LastError(path);
    }
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        throw ExplainedError(ERROR_FILE_NOT_FOUND, kIsAFolder, path);
    }
    return static_cast<std::int64_t>((static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) |
                                     data.nFileSizeLow);
}

void MakeFolder(const std::string& path) {
    if (!CreateDirectoryW(ApiPath(path).c_str(), nullptr)) {
        const DWORD code = GetLastError();
        if (code == ERROR_ACCESS_DENIED) {
            throw ExplainedError(code, kFolderNotWritable, path);
        }
        throw SystemError(code, path);
    }
}

std::string Win32Files::LookupEntry(const std::string& path, EntryKind kind) {
    return windows::LookupEntry(path, kind);
}

std::int64_t Win32Files::FileSize(const std::string& path) {
    return windows::FileSize(path);
}

std::optional<FileIdentity> Win32Files::IdentifyFile(const std::string& path) noexcept {
    return windows::IdentifyFile(path);
}

void Win32Files::ReplaceWithCopy(const std::string& source, const std::string& destination,
                                 CopyProgress& progress) {
    windows::ReplaceWithCopy(steps_, source, destination, progress);
}

bool Win32Files::CopyFileIfAbsent(const std::string& source, const std::string& destination,
                                  CopyProgress& progress) {
    return windows::CopyFileIfAbsent(steps_, source, destination, progress);
}

void Win32Files::MakeFolder(const std::string& path) {
    windows::MakeFolder(path);
}

std::optional<std::int64_t> Win32Files::FreeSpace(const std::string& folder) noexcept {
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

bool Win32Files::HeldByAnotherProgram(const Error& error) const {
    return error.Number() == ERROR_SHARING_VIOLATION || error.Number() == ERROR_LOCK_VIOLATION;
}

void Win32Files::RemoveLeftovers(const std::string& folder) noexcept {
    windows::RemoveLeftovers(folder);
}

bool Win32Files::PathsMatchIgnoringCase(std::string_view a, std::string_view b) const {
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

}  // namespace vx::windows
