#include "platform/win32/FileSteps.h"

#include "platform/win32/Handle.h"

namespace vx::win32 {

DWORD FileSteps::Copy(const std::wstring& source, const std::wstring& target, bool unbuffered) {
    DWORD flags = COPY_FILE_FAIL_IF_EXISTS;
    if (unbuffered) {
        flags |= COPY_FILE_NO_BUFFERING;
    }
    if (!CopyFileExW(source.c_str(), target.c_str(), nullptr, nullptr, nullptr, flags)) {
        return GetLastError();
    }
    return ERROR_SUCCESS;
}

DWORD FileSteps::Flush(const std::wstring& file) {
    UniqueFile handle(CreateFileW(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle || !FlushFileBuffers(handle.Get())) {
        return GetLastError();
    }
    return ERROR_SUCCESS;
}

DWORD FileSteps::Move(const std::wstring& from, const std::wstring& to, bool replace) {
    // Never MOVEFILE_COPY_ALLOWED: a copy across volumes is not atomic.
    DWORD flags = MOVEFILE_WRITE_THROUGH;
    if (replace) {
        flags |= MOVEFILE_REPLACE_EXISTING;
    }
    if (!MoveFileExW(from.c_str(), to.c_str(), flags)) {
        return GetLastError();
    }
    return ERROR_SUCCESS;
}

}  // namespace vx::win32
