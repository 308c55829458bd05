#include "platform/posix/DeferredClose.h"

#include <system_error>
#include <utility>

namespace vx::posix {

void DeferredClose::Close(FileDescriptor fd) {
    Wait();
    try {
        closer_ = std::thread([fd = std::move(fd)]() mutable { fd.Reset(); });
    } catch (const std::system_error&) {
        // No thread to be had: the descriptor went with the lambda and is closed here, which
        // only costs the wait this class exists to spare.
    }
}

void DeferredClose::Wait() {
    if (closer_.joinable()) {
        closer_.join();
    }
}

}  // namespace vx::posix
