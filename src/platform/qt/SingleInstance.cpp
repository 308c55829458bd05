#include "platform/qt/SingleInstance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <QLocalSocket>
#include <cerrno>
#include <cstdlib>
#include <utility>

namespace vx::qt {
namespace {

// Long enough for a first program busy starting up; a start that gives up still ends.
constexpr int kConnectMilliseconds = 2000;

}  // namespace

SingleInstance::SingleInstance(const std::string& lockPath, QString serverName)
    : lock_(::open(lockPath.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600)),
      serverName_(std::move(serverName)) {
    // flock, unlike fcntl locks, belongs to this open file, so a second guard in the same
    // program is refused as another program would be.
    first_ = !lock_.Valid() || ::flock(lock_.Get(), LOCK_EX | LOCK_NB) == 0 || errno != EWOULDBLOCK;
}

void SingleInstance::Listen(std::function<void()> raise) {
    raise_ = std::move(raise);
    // Only the lock's holder gets here, so a socket already there was left by a program that
    // was killed, and nobody listens on it.
    QLocalServer::removeServer(serverName_);
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    QObject::connect(&server_, &QLocalServer::newConnection, [this] {
        while (QLocalSocket* asking = server_.nextPendingConnection()) {
            asking->deleteLater();
            raise_();
        }
    });
    server_.listen(serverName_);
}

bool SingleInstance::AskFirstToRaise() const {
    QLocalSocket socket;
    socket.connectToServer(serverName_);
    return socket.waitForConnected(kConnectMilliseconds);
}

std::string SingleInstance::RuntimePath(std::string_view name) {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && *runtime != '\0') {
        return std::string(runtime) + "/" + std::string(name);
    }
    return "/tmp/" + std::to_string(::getuid()) + "-" + std::string(name);
}

}  // namespace vx::qt
