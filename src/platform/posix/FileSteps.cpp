#include "platform/posix/FileSteps.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <stdio.h>
#include <sys/ioctl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <vector>

#include "platform/posix/PosixError.h"

namespace vx::posix {
namespace {

constexpr std::size_t kBufferSize = 4 << 20;

bool IsRefusal(int error) {
    return error == EOPNOTSUPP || error == ENOTSUP || error == EXDEV || error == EINVAL ||
           error == ENOSYS || error == ENOTTY || error == EBADF || error == EPERM;
}

// Shares the source's blocks where the file system can (btrfs, XFS): no data is copied.
bool TryClone(int from, int to) {
    return ::ioctl(to, FICLONE, from) == 0;
}

// Reserves the space first, so that a full disk fails before anything is copied.
void Reserve(int to, std::int64_t size, const std::string& path) {
    if (size > 0 && ::fallocate(to, 0, 0, static_cast<off_t>(size)) == -1 && !IsRefusal(errno)) {
        throw ErrnoError(errno, path);
    }
}

// How much is copied before the disk is asked to start writing it. The final flush then
// finds little left to write: the copy and the writing overlap instead of following each
// other, and no more than two chunks wait in memory to be written.
constexpr std::int64_t kChunkSize = std::int64_t{64} << 20;

// Starts writing `[offset, offset + length)` of `fd` to the disk, after waiting for the chunk
// before it. Only a hint: the flush that follows the copy is the guarantee.
void WriteBehind(int fd, std::int64_t offset, std::int64_t length) {
    ::sync_file_range(fd, offset, length, SYNC_FILE_RANGE_WRITE);
    if (offset >= kChunkSize) {
        ::sync_file_range(
            fd, offset - kChunkSize, kChunkSize,
            SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE | SYNC_FILE_RANGE_WAIT_AFTER);
    }
}

// How much is copied between two reports: often enough for a smooth bar and a prompt
// Cancel on a slow card, seldom enough to cost nothing.
constexpr std::int64_t kReportStep = std::int64_t{8} << 20;

void Report(CopyProgress& progress, std::int64_t done, std::int64_t size) {
    if (!progress.Copied(done, size)) {
        throw CopyCancelled();
    }
}

// Answers false, having copied nothing, when the kernel refuses copy_file_range here.
bool TryCopyFileRange(int from, int to, std::int64_t size, const std::string& path,
                      CopyProgress& progress) {
    std::int64_t done = 0;
    std::int64_t chunkStart = 0;
    while (done < size) {
        const std::int64_t wanted =
            std::min({size - done, chunkStart + kChunkSize - done, kReportStep});
        const ssize_t n =
            ::copy_file_range(from, nullptr, to, nullptr, static_cast<std::size_t>(wanted), 0);
        if (n == -1) {
            if (done == 0 && IsRefusal(errno)) {
                return false;
            }
            throw ErrnoError(errno, path);
        }
        if (n == 0) {
            throw ErrnoError(EIO, path);  // the source shrank while it was being copied
        }
        done += n;
        if (done == chunkStart + kChunkSize || done == size) {
            WriteBehind(to, chunkStart, done - chunkStart);
            chunkStart = done;
        }
        Report(progress, done, size);
    }
    return true;
}

}  // namespace

void FileSteps::Copy(int from, int to, std::int64_t size, const std::string& path,
                     CopyProgress& progress) {
    Report(progress, 0, size);
    if (TryClone(from, to)) {
        Report(progress, size, size);
        return;
    }
    Reserve(to, size, path);
    if (TryCopyFileRange(from, to, size, path, progress)) {
        return;
    }
    ThrowIfFailed(::lseek(from, 0, SEEK_SET), path);
    ThrowIfFailed(::lseek(to, 0, SEEK_SET), path);
    std::vector<char> buffer(kBufferSize);
    std::int64_t done = 0;
    while (done < size) {
        const ssize_t n = ::read(from, buffer.data(), buffer.size());
        if (n == -1 && errno == EINTR) {
            continue;
        }
        ThrowIfFailed(n, path);
        if (n == 0) {
            throw ErrnoError(EIO, path);
        }
        Write(to, buffer.data(), static_cast<std::size_t>(n), path);
        done += n;
        Report(progress, done, size);
    }
}

void FileSteps::Write(int to, const char* data, std::size_t size, const std::string& path) {
    while (size > 0) {
        const ssize_t n = ::write(to, data, size);
        if (n == -1 && errno == EINTR) {
            continue;
        }
        ThrowIfFailed(n, path);
        data += n;
        size -= static_cast<std::size_t>(n);
    }
}

FileSteps& SystemFileSteps() {
    static FileSteps steps;
    return steps;
}

void FileSteps::Flush(int fd, const std::string& path) {
    ThrowIfFailed(::fsync(fd), path);
}

void FileSteps::Rename(int folder, const std::string& from, const std::string& to,
                       bool keepExisting) {
    if (!keepExisting) {
        ThrowIfFailed(::renameat(folder, from.c_str(), folder, to.c_str()), to);
        return;
    }
    if (::renameat2(folder, from.c_str(), folder, to.c_str(), RENAME_NOREPLACE) == 0) {
        return;
    }
    if (errno != EINVAL && errno != ENOSYS) {
        throw ErrnoError(errno, to);
    }
    // File systems without RENAME_NOREPLACE: a hard link also refuses to replace.
    ThrowIfFailed(::linkat(folder, from.c_str(), folder, to.c_str(), 0), to);
    ::unlinkat(folder, from.c_str(), 0);
}

}  // namespace vx::posix
