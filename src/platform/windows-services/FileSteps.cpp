#include "platform/windows-services/FileSteps.h"

#include "platform/windows-services/Handle.h"
#include "platform/windows-services/Utf.h"
#include "platform/windows-services/Win32Error.h"

namespace vx::windows {

namespace {

void ThrowIfFailed(BOOL succeeded, const std::wstring& path) {
    if (!succeeded) {
        throw LastError(ToUtf8(path));
    }
}

}  // namespace

DWORD CALLBACK CopyReporting::Routine(LARGE_INTEGER total, LARGE_INTEGER transferred,
                                      LARGE_INTEGER /*streamSize*/,
                                      LARGE_INTEGER /*streamTransferred*/, DWORD /*stream*/,
                                      DWORD /*reason*/, HANDLE /*source*/, HANDLE /*target*/,
                                      LPVOID reporting) {
    auto& self = *static_cast<CopyReporting*>(reporting);
    try {
        self.stopped = !self.progress.Copied(transferred.QuadPart, total.QuadPart);
    } catch (...) {
        self.failure = std::current_exception();
        self.stopped = true;
    }
    return self.stopped ? PROGRESS_CANCEL : PROGRESS_CONTINUE;
}

void FileSteps::Copy(const std::wstring& source, const std::wstring& target, bool unbuffered,
                     CopyProgress& progress) {
    DWORD flags = COPY_FILE_FAIL_IF_EXISTS;
    if (unbuffered) {
        flags |= COPY_FILE_NO_BUFFERING;
    }
    CopyReporting reporting(progress);
    // A cancelled copy fails with ERROR_REQUEST_ABORTED, having deleted what it wrote.
    const BOOL copied = CopyFileExW(source.c_str(), target.c_str(), &CopyReporting::Routine,
                                    &reporting, nullptr, flags);
    if (reporting.failure) {
        std::rethrow_exception(reporting.failure);
    }
    if (!copied && reporting.stopped) {
        throw CopyCancelled();
    }
    ThrowIfFailed(copied, target);
}

void FileSteps::Flush(const std::wstring& file) {
    UniqueFile handle(CreateFileW(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ThrowIfFailed(handle && FlushFileBuffers(handle.Get()), file);
}

void FileSteps::Move(const std::wstring& from, const std::wstring& to, bool replace) {
    // Never MOVEFILE_COPY_ALLOWED: a copy across volumes is not atomic.
    DWORD flags = MOVEFILE_WRITE_THROUGH;
    if (replace) {
        flags |= MOVEFILE_REPLACE_EXISTING;
    }
    ThrowIfFailed(MoveFileExW(from.c_str(), to.c_str(), flags), to);
}

FileSteps& SystemFileSteps() {
    static FileSteps steps;
    return steps;
}

}  // namespace vx::windows
