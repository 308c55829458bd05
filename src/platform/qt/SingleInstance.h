#pragma once

#include <QSocketNotifier>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/posix/FileDescriptor.h"

// One running program per user: the first start holds a lock for its whole life and listens
// for later starts, which ask it to bring its window forward and end. A lock dies with its
// program however that ends, so a program killed outright stops no later start.
namespace vx::qt {

class SingleInstance final {
  public:
    // Tries to take the lock on the file at `lockPath`; the first program listens on a local
    // socket at `socketPath`.
    SingleInstance(const std::string& lockPath, std::string socketPath);

    // Whether no other program holds the lock. A lock that cannot be had for any other
    // reason than that keeps nobody from starting.
    bool IsFirst() const { return first_; }

    // As the first: runs `raise` whenever a later start asks, from the event loop.
    void Listen(std::function<void()> raise);

    // As a later start: asks the first to bring its window forward; whether it was reached.
    bool AskFirstToRaise() const;

    // `name` in the user's runtime folder, else under a name of the user's own in /tmp.
    static std::string RuntimePath(std::string_view name);

  private:
    void AnswerAsking();

    posix::FileDescriptor lock_;
    bool first_ = true;
    std::string socketPath_;
    // A plain socket, not Qt's local server: the network library that brings costs every
    // start a good part of its time for nothing else.
    posix::FileDescriptor server_;
    std::unique_ptr<QSocketNotifier> asking_;  // gone before the socket it watches
    std::function<void()> raise_;
};

}  // namespace vx::qt
