#include "platform/windows-services/IniSettings.h"

#include <windows.h>

#include <utility>

#include "platform/windows-services/AtomicCopy.h"
#include "platform/windows-services/Handle.h"
#include "platform/windows-services/LongPath.h"
#include "platform/windows-services/Messages.h"
#include "platform/windows-services/Utf.h"
#include "platform/windows-services/Win32Error.h"

namespace vx::windows {
namespace {

FileVersion VersionOf(const BY_HANDLE_FILE_INFORMATION& info) {
    return {info.dwVolumeSerialNumber,
            info.nFileIndexHigh,
            info.nFileIndexLow,
            info.nFileSizeHigh,
            info.nFileSizeLow,
            info.ftLastWriteTime.dwHighDateTime,
            info.ftLastWriteTime.dwLowDateTime,
            1};  // never all zero, as for no file
}

// Any program may go on reading, writing or renaming it meanwhile, as editors do.
UniqueFile Open(const std::wstring& path, DWORD access) {
    return UniqueFile(CreateFileW(path.c_str(), access,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

bool IsAbsent(DWORD code) {
    return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND;
}

}  // namespace

IniSettings::IniSettings(std::string file, FileSteps& steps)
    : IniStore(file), file_(std::move(file)), steps_(steps) {}

FileVersion IniSettings::Version() {
    const UniqueFile file = Open(ApiPath(file_), FILE_READ_ATTRIBUTES);
    BY_HANDLE_FILE_INFORMATION info{};
    return file && GetFileInformationByHandle(file.Get(), &info) ? VersionOf(info) : FileVersion{};
}

std::string IniSettings::Read(FileVersion& version) {
    const std::wstring path = ApiPath(file_);
    version = {};
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES && IsAbsent(GetLastError())) {
        return {};
    }
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        throw ExplainedError(ERROR_ACCESS_DENIED, kIsAFolder, file_);
    }
    const UniqueFile file = Open(path, GENERIC_READ);
    BY_HANDLE_FILE_INFORMATION info{};
    if (!file || !GetFileInformationByHandle(file.Get(), &info)) {
        const DWORD code = GetLastError();
        if (IsAbsent(code)) {
            return {};
        }
        if (code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION) {
            throw ExplainedError(code, kFileInUse, file_);
        }
        throw SystemError(code, file_);
    }
    std::string text;
    char buffer[65536];
    DWORD read = 0;
    do {
        if (!ReadFile(file.Get(), buffer, sizeof buffer, &read, nullptr)) {
            throw LastError(file_);
        }
        text.append(buffer, read);
    } while (read != 0);
    version = VersionOf(info);
    return text;
}

FileVersion IniSettings::Write(const std::string& text) {
    const std::wstring folder = FolderPart(ApiPath(file_));
    // A save killed part-way may have left its temporary file beside the settings.
    RemoveLeftovers(ToUtf8(folder));
    try {
        WriteAtomically(steps_, file_, text);
    } catch (const Error& error) {
        const auto code = static_cast<DWORD>(error.Number());
        if (code == ERROR_ACCESS_DENIED || code == ERROR_WRITE_PROTECT) {
            throw ExplainedError(code, kSettingsNotWritable, file_);
        }
        throw;
    }
    return Version();
}

}  // namespace vx::windows
