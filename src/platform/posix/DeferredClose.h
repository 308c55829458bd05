#pragma once

#include <thread>

#include "platform/posix/FileDescriptor.h"

namespace vx::posix {

// Closes descriptors on a thread of its own. Closing the last reference to a replaced
// gigabyte archive frees its blocks, which takes the kernel a noticeable moment; the user
// should not wait for that.
class DeferredClose {
  public:
    DeferredClose() = default;
    DeferredClose(const DeferredClose&) = delete;
    DeferredClose& operator=(const DeferredClose&) = delete;
    DeferredClose(DeferredClose&&) = delete;
    DeferredClose& operator=(DeferredClose&&) = delete;
    ~DeferredClose() { Wait(); }

    void Close(FileDescriptor fd);

  private:
    // Returns once every descriptor handed over is closed.
    void Wait();

    std::thread closer_;
};

}  // namespace vx::posix
