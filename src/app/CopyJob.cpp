#include "app/CopyJob.h"

#include <utility>

namespace vx {

CopyJob::CopyJob(std::function<void(CopyProgress&)> copy)
    : thread_([this, copy = std::move(copy)] {
          try {
              copy(*this);
          } catch (...) {
              failure_ = std::current_exception();
          }
          ended_ = true;  // after failure_ is set: a reader that sees the end sees the failure
      }) {}

CopyJob::~CopyJob() {
    if (thread_.joinable()) {
        Cancel();
        thread_.join();
    }
}

CopyJob::State CopyJob::Now() const {
    return {done_.load(), total_.load(), finishing_.load(), cancelled_.load(), ended_.load()};
}

void CopyJob::Finish() {
    if (thread_.joinable()) {
        thread_.join();
    }
    if (failure_) {
        std::rethrow_exception(std::exchange(failure_, nullptr));
    }
}

bool CopyJob::Copied(std::int64_t done, std::int64_t total) {
    total_ = total;
    done_ = done;
    return !cancelled_;
}

}  // namespace vx
