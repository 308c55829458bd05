#include "platform/posix/PosixFiles.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <memory>

#include "platform/posix/AtomicFile.h"
#include "platform/posix/FileDescriptor.h"
#include "platform/posix/PosixError.h"
#include "state/BackupMessages.h"
#include "state/TemporaryName.h"
#include "state/Text.h"

namespace vx::posix {
namespace {

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};
using Directory = std::unique_ptr<DIR, DirCloser>;

bool Matches(int folder, const char* name, EntryKind kind) {
    struct stat info {};
    if (name[0] == '.' || ::fstatat(folder, name, &info, 0) != 0) {
        return false;
    }
    return !S_ISDIR(info.st_mode) || kind == EntryKind::FilesAndFolders;
}

struct OpenSource {
    FileDescriptor fd;
    struct stat info {};
};

OpenSource OpenRegularFile(const std::string& path) {
    // Without O_NONBLOCK, a named pipe put where an archive was would stop the program in
    // open() until something wrote to it; regular files read the same either way.
    OpenSource source{FileDescriptor(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK)), {}};
    ThrowIfFailed(source.fd.Get(), path);
    ThrowIfFailed(::fstat(source.fd.Get(), &source.info), path);
    if (!S_ISREG(source.info.st_mode)) {
        throw ErrnoError(S_ISDIR(source.info.st_mode) ? EISDIR : EINVAL, path);
    }
    return source;
}

// Once every byte is copied the copy can no longer be stopped: the rest is the flush and
// the rename, and a half-done rename is worse than a finished switch.
void CopyInto(FileSteps& steps, const OpenSource& from, int to, const std::string& destination,
              CopyProgress& progress) {
    steps.Copy(from.fd.Get(), to, from.info.st_size, destination, progress);
    progress.Finishing();
}

}  // namespace

std::string LookupEntry(const std::string& path, EntryKind kind) {
    const std::filesystem::path target(path);
    const std::string wanted = target.filename().string();
    if (wanted.empty() || wanted.find_first_of("*?") != std::string::npos) {
        return {};
    }
    const std::string folderPath =
        target.has_parent_path() ? target.parent_path().string() : std::string(".");
    Directory dir(::opendir(folderPath.c_str()));
    if (!dir) {
        if (errno == ENOENT || errno == ENOTDIR) {
            return {};
        }
        throw ErrnoError(errno, folderPath);
    }
    const int folder = ::dirfd(dir.get());
    const std::string wantedFolded = FoldCase(wanted);
    std::string found;
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string_view name(entry->d_name);
        if (name == wanted && Matches(folder, entry->d_name, kind)) {
            return std::string(name);
        }
        if (found.empty() && FoldCase(name) == wantedFolded &&
            Matches(folder, entry->d_name, kind)) {
            found = name;
        }
    }
    return found;
}

void RemoveLeftovers(const std::string& folder) noexcept {
    try {
        Directory dir(::opendir(folder.c_str()));
        if (!dir) {
            return;
        }
        while (const dirent* entry = ::readdir(dir.get())) {
            if (IsTemporaryName(entry->d_name)) {
                ::unlinkat(::dirfd(dir.get()), entry->d_name, 0);
            }
        }
    } catch (...) {
        // Leftovers cost space, not correctness: nothing here is worth stopping for.
    }
}

std::optional<FileIdentity> PosixFiles::IdentifyFile(const std::string& path) noexcept {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return std::nullopt;
    }
    return FileIdentity{static_cast<std::uint64_t>(info.st_dev),
                        static_cast<std::uint64_t>(info.st_ino)};
}

std::int64_t PosixFiles::FileSize(const std::string& path) {
    struct stat info {};
    ThrowIfFailed(folders_.Stat(path, info), path);
    if (S_ISDIR(info.st_mode)) {
        throw ErrnoError(EISDIR, path);
    }
    return info.st_size;
}

void PosixFiles::ReplaceWithCopy(const std::string& source, const std::string& destination,
                                 CopyProgress& progress) {
    OpenSource from = OpenRegularFile(source);
    struct stat existing {};
    mode_t mode = from.info.st_mode & 0666;
    if (::stat(destination.c_str(), &existing) == 0) {
        if (existing.st_dev == from.info.st_dev && existing.st_ino == from.info.st_ino) {
            return;  // the live archive itself: it already is what was asked for
        }
        mode = existing.st_mode & 07777;
    }
    // Held open across the rename, the old archive's blocks are freed when this is closed,
    // not by the rename while the user waits.
    FileDescriptor old(::open(destination.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    WriteAtomically(
        destination, mode, Existing::Replace,
        [&](int fd) { CopyInto(steps_, from, fd, destination, progress); }, steps_);
    if (old.Valid()) {
        closer_.Close(std::move(old));
    }
}

bool PosixFiles::CopyFileIfAbsent(const std::string& source, const std::string& destination,
                                  CopyProgress& progress) {
    struct stat existing {};
    if (::lstat(destination.c_str(), &existing) == 0) {
        // A link counts as what it leads to; only a file can be a backup already.
        const bool leads = ::stat(destination.c_str(), &existing) == 0;
        if (leads && S_ISREG(existing.st_mode)) {
            return false;
        }
        throw leads && S_ISDIR(existing.st_mode)
            ? Error(EISDIR, std::string(messages::kFolderAtBackup), destination)
            : Error(EEXIST, std::string(messages::kNoFileAtBackup), destination);
    }
    OpenSource from = OpenRegularFile(source);
    return WriteAtomically(
        destination, from.info.st_mode & 0666, Existing::Keep,
        [&](int fd) { CopyInto(steps_, from, fd, destination, progress); }, steps_);
}

void PosixFiles::MakeFolder(const std::string& path) {
    ThrowIfFailed(::mkdir(path.c_str(), 0777), path);
}

std::optional<std::int64_t> PosixFiles::FreeSpace(const std::string& folder) noexcept {
    struct statvfs info {};
    if (::statvfs(folder.c_str(), &info) != 0) {
        return std::nullopt;
    }
    return static_cast<std::int64_t>(info.f_bavail) * static_cast<std::int64_t>(info.f_frsize);
}

bool PosixFiles::HeldByAnotherProgram(const Error&) const {
    return false;  // an open file never keeps a rename from replacing it here
}

bool PosixFiles::PathsMatchIgnoringCase(std::string_view a, std::string_view b) const {
    return EqualIgnoringCase(a, b);
}

}  // namespace vx::posix
