#pragma once

#include <functional>
#include <string>

#include "platform/posix/FileDescriptor.h"

// One running program per user: the first start holds a lock for its whole life and listens
// for later starts, which ask it to bring its window forward and end. A lock dies with its
// program however that ends, so a program killed outright stops no later start. The lock
// and the socket live in a folder only this user may use, so that no other user can make
// either first and keep every start from running or from being guarded.
namespace vx::posix {

class SingleInstance final {
  public:
    // Takes the lock in `folder`, made if missing. When the folder is not the user's own
    // (see CheckOwnFolder), or the lock cannot be had for any reason other than another
    // program holding it, the program runs unguarded: Failure() says why.
    explicit SingleInstance(const std::string& folder);

    // Whether this start goes on: no other program holds the lock.
    bool IsFirst() const { return !second_; }
    // Why the guard could not be set up; empty when it was.
    const std::string& Failure() const { return failure_; }

    // As the lock's holder: listens for later starts. Answers the socket to watch for
    // readability, or -1 when later starts cannot reach this one; unguarded, it leaves alone a
    // socket it cannot know it made.
    int Listen();
    // Runs `raise` once for every later start waiting on that socket.
    void AnswerAsking(const std::function<void()>& raise);

    // As a later start: asks the first to bring its window forward; whether it was reached.
    bool AskFirstToRaise() const;

    // The user's runtime folder, else a folder of the user's own in /tmp.
    static std::string RuntimeFolder();

  private:
    std::string socketPath_;
    FileDescriptor lock_;  // valid while this program holds the lock
    bool second_ = false;
    std::string failure_;
    // A plain socket, not Qt's local server: the network library that brings costs every
    // start a good part of its time for nothing else.
    FileDescriptor server_;
};

// Throws vx::Error unless `folder` is a folder itself (not a link to one), owned by this
// user, that no other user may enter, read or write.
void CheckOwnFolder(const std::string& folder);

}  // namespace vx::posix
