#include "platform/posix/AtomicFile.h"

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <filesystem>

#include "platform/posix/FileDescriptor.h"
#include "platform/posix/PosixError.h"
#include "state/TemporaryName.h"

namespace vx::posix {
namespace {

std::string RandomTemporaryName() {
    std::uint64_t random = 0;
    if (::getrandom(&random, sizeof random, 0) != static_cast<ssize_t>(sizeof random)) {
        throw ErrnoError(errno, "getrandom");
    }
    return TemporaryName(random);
}

// A temporary file in `folder`, named or not yet named.
struct Temporary {
    FileDescriptor fd;
    std::string name;  // empty while the file has no name (O_TMPFILE)
};

// Prefers a file without a name, which a killed program cannot leave behind; file systems
// that refuse that get an exclusively created file with a random name, never one that an
// existing file or planted link could stand in for.
Temporary CreateTemporary(int folder, const std::string& path) {
    const int unnamed = ::openat(folder, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (unnamed >= 0) {
        return {FileDescriptor(unnamed), {}};
    }
    for (int tries = 1;; ++tries) {
        std::string name = RandomTemporaryName();
        const int fd = ::openat(folder, name.c_str(),
                                O_CREAT | O_EXCL | O_NOFOLLOW | O_RDWR | O_CLOEXEC, 0600);
        if (fd >= 0) {
            return {FileDescriptor(fd), std::move(name)};
        }
        if (errno != EEXIST || tries == kTemporaryNameTries) {
            throw ErrnoError(errno, path);
        }
    }
}

// Gives an unnamed temporary file a name, so that it can be renamed into place.
void NameTemporary(int folder, Temporary& temporary, const std::string& path) {
    if (!temporary.name.empty()) {
        return;
    }
    const std::string self = "/proc/self/fd/" + std::to_string(temporary.fd.Get());
    for (int tries = 1;; ++tries) {
        std::string name = RandomTemporaryName();
        if (::linkat(AT_FDCWD, self.c_str(), folder, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            temporary.name = std::move(name);
            return;
        }
        if (errno != EEXIST || tries == kTemporaryNameTries) {
            throw ErrnoError(errno, path);
        }
    }
}

}  // namespace

bool WriteAtomically(const std::string& destination, mode_t mode, Existing how,
                     const std::function<void(int fd)>& fill, FileSteps& steps) {
    const std::filesystem::path target(destination);
    const std::string folderPath =
        target.has_parent_path() ? target.parent_path().string() : std::string(".");
    const std::string name = target.filename().string();

    FileDescriptor folder(::open(folderPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    ThrowIfFailed(folder.Get(), folderPath);
    if (how == Existing::Keep) {
        struct stat existing {};
        if (::fstatat(folder.Get(), name.c_str(), &existing, AT_SYMLINK_NOFOLLOW) == 0) {
            return false;
        }
    }

    Temporary temporary = CreateTemporary(folder.Get(), destination);
    try {
        fill(temporary.fd.Get());
        ThrowIfFailed(::fchmod(temporary.fd.Get(), mode), destination);
        steps.Flush(temporary.fd.Get(), destination);
        NameTemporary(folder.Get(), temporary, destination);
        try {
            steps.Rename(folder.Get(), temporary.name, name, how == Existing::Keep);
        } catch (const Error& error) {
            if (how == Existing::Keep && error.Number() == EEXIST) {
                ::unlinkat(folder.Get(), temporary.name.c_str(), 0);
                return false;
            }
            // The rename sees names within the folder only; the user is told the whole path.
            throw Error(error.Number(), error.Text(), destination);
        }
    } catch (...) {
        if (!temporary.name.empty()) {
            ::unlinkat(folder.Get(), temporary.name.c_str(), 0);
        }
        throw;
    }
    // The rename lasts only once the folder is on the disk too. The new file is in place
    // already, so a file system that cannot flush a folder does not make this a failure.
    try {
        steps.Flush(folder.Get(), folderPath);
    } catch (const Error&) {
    }
    return true;
}

}  // namespace vx::posix
