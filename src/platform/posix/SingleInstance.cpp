#include "platform/posix/SingleInstance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <utility>

#include "platform/posix/PosixError.h"
#include "state/Error.h"
#include "state/SingleInstanceNames.h"

namespace vx::posix {
namespace {

// Long enough for a first program busy starting up; a start that gives up still ends.
constexpr timeval kConnectTimeout{2, 0};

std::optional<sockaddr_un> AddressOf(const std::string& path) {
    sockaddr_un address{};
    if (path.size() >= sizeof address.sun_path) {
        return std::nullopt;
    }
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return address;
}

// Takes the lock on the file at `path`: answers the open lock, or an invalid one when
// another program holds it; throws vx::Error when it cannot be had for another reason.
FileDescriptor TakeLock(const std::string& path) {
    FileDescriptor lock(::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600));
    ThrowIfFailed(lock.Get(), path);
    // flock, unlike fcntl locks, belongs to this open file, so a second guard in the same
    // program is refused as another program would be.
    if (::flock(lock.Get(), LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK) {
            throw ErrnoError(errno, path);
        }
        lock.Reset();
    }
    return lock;
}

}  // namespace

void CheckOwnFolder(const std::string& folder) {
    struct stat status {};
    ThrowIfFailed(::lstat(folder.c_str(), &status), folder);
    if (!S_ISDIR(status.st_mode)) {
        throw Error(ENOTDIR, "Not a folder of its own (a link or a file)", folder);
    }
    if (status.st_uid != ::getuid()) {
        throw Error(EPERM, "The folder belongs to another user", folder);
    }
    if ((status.st_mode & (S_IRWXG | S_IRWXO)) != 0) {
        throw Error(EPERM, "Other users may use the folder", folder);
    }
}

SingleInstance::SingleInstance(const std::string& folder)
    : socketPath_(folder + "/" + std::string(instance::kSocketFile)) {
    try {
        if (::mkdir(folder.c_str(), S_IRWXU) != 0 && errno != EEXIST) {
            throw ErrnoError(errno, folder);
        }
        CheckOwnFolder(folder);
        lock_ = TakeLock(folder + "/" + std::string(instance::kLockFile));
        second_ = !lock_.Valid();
    } catch (const Error& error) {
        failure_ = error.Path() + ": " + error.Text();
    }
}

int SingleInstance::Listen() {
    const std::optional<sockaddr_un> address = AddressOf(socketPath_);
    if (!lock_.Valid() || !address) {
        return -1;  // later starts cannot reach this one, but start and end as they should
    }
    // Only the lock's holder gets here, so a socket already there was left by a program that
    // was killed, and nobody listens on it.
    ::unlink(socketPath_.c_str());
    FileDescriptor server(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    // Only this user may ask; nobody can connect before listen(), so nobody can slip in
    // before the socket is closed to others.
    if (!server.Valid() ||
        ::bind(server.Get(), reinterpret_cast<const sockaddr*>(&*address), sizeof *address) != 0 ||
        ::chmod(socketPath_.c_str(), S_IRUSR | S_IWUSR) != 0 || ::listen(server.Get(), 8) != 0) {
        return -1;
    }
    server_ = std::move(server);
    return server_.Get();
}

void SingleInstance::AnswerAsking(const std::function<void()>& raise) {
    while (true) {
        const FileDescriptor asking(
            ::accept4(server_.Get(), nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK));
        if (!asking.Valid()) {
            return;
        }
        raise();
    }
}

bool SingleInstance::AskFirstToRaise() const {
    const std::optional<sockaddr_un> address = AddressOf(socketPath_);
    const FileDescriptor socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    // A connection is made once the first has room to take it.
    return address && socket.Valid() &&
           ::setsockopt(socket.Get(), SOL_SOCKET, SO_SNDTIMEO, &kConnectTimeout,
                        sizeof kConnectTimeout) == 0 &&
           ::connect(socket.Get(), reinterpret_cast<const sockaddr*>(&*address), sizeof *address) ==
               0;
}

std::string SingleInstance::RuntimeFolder() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && *runtime != '\0') {
        return runtime;
    }
    // A name any user could take first: the folder is checked before it is used.
    return "/tmp/vexmoor-patchkeeper-" + std::to_string(::getuid());
}

}  // namespace vx::posix
