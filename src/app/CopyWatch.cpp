#include "app/CopyWatch.h"

#include <utility>

namespace vx {

void CopyWatch::Watch(CopyJob& job, const std::string& fileName) {
    job_ = &job;
    // A watch cut short by a failure (a progress window that cannot be made, say) still lets
    // go of the job, or every later close of the main window would wait for a copy long gone.
    try {
        BeginWatch();
        WaitQuietly(job, Clock::now() + kProgressWindowDelay);
        if (!job.Now().ended) {
            WaitWithProgress(job, fileName);
        }
    } catch (...) {
        Finish();
        throw;
    }
    Finish();
}

bool CopyWatch::DeferClose() {
    if (job_ == nullptr) {
        return false;
    }
    job_->Cancel();
    closeWhenDone_ = true;
    return true;
}

void CopyWatch::Finish() noexcept {
    job_ = nullptr;
    EndWatch(std::exchange(closeWhenDone_, false));
}

}  // namespace vx
