#include "platform/qt/SingleInstance.h"

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

namespace vx::qt {
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

}  // namespace

SingleInstance::SingleInstance(const std::string& lockPath, std::string socketPath)
    : lock_(::open(lockPath.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600)),
      socketPath_(std::move(socketPath)) {
    // flock, unlike fcntl locks, belongs to this open file, so a second guard in the same
    // program is refused as another program would be.
    first_ = !lock_.Valid() || ::flock(lock_.Get(), LOCK_EX | LOCK_NB) == 0 || errno != EWOULDBLOCK;
}

void SingleInstance::Listen(std::function<void()> raise) {
    raise_ = std::move(raise);
    const std::optional<sockaddr_un> address = AddressOf(socketPath_);
    if (!address) {
        return;  // later starts cannot reach this one, but start and end as they should
    }
    // Only the lock's holder gets here, so a socket already there was left by a program that
    // was killed, and nobody listens on it.
    ::unlink(socketPath_.c_str());
    posix::FileDescriptor server(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    // Only this user may ask; nobody can connect before listen(), so nobody can slip in
    // before the socket is closed to others.
    if (!server.Valid() ||
        ::bind(server.Get(), reinterpret_cast<const sockaddr*>(&*address), sizeof *address) != 0 ||
        ::chmod(socketPath_.c_str(), S_IRUSR | S_IWUSR) != 0 || ::listen(server.Get(), 8) != 0) {
        return;
    }
    server_ = std::move(server);
    asking_ = std::make_unique<QSocketNotifier>(server_.Get(), QSocketNotifier::Read);
    QObject::connect(asking_.get(), &QSocketNotifier::activated, [this] { AnswerAsking(); });
}

void SingleInstance::AnswerAsking() {
    while (true) {
        const posix::FileDescriptor asking(
            ::accept4(server_.Get(), nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK));
        if (!asking.Valid()) {
            return;
        }
        raise_();
    }
}

bool SingleInstance::AskFirstToRaise() const {
    const std::optional<sockaddr_un> address = AddressOf(socketPath_);
    const posix::FileDescriptor socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    // A connection is made once the first has room to take it.
    return address && socket.Valid() &&
           ::setsockopt(socket.Get(), SOL_SOCKET, SO_SNDTIMEO, &kConnectTimeout,
                        sizeof kConnectTimeout) == 0 &&
           ::connect(socket.Get(), reinterpret_cast<const sockaddr*>(&*address), sizeof *address) ==
               0;
}

std::string SingleInstance::RuntimePath(std::string_view name) {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && *runtime != '\0') {
        return std::string(runtime) + "/" + std::string(name);
    }
    return "/tmp/" + std::to_string(::getuid()) + "-" + std::string(name);
}

}  // namespace vx::qt
