#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <exception>
#include <functional>
#include <thread>

#include "state/CopyProgress.h"

namespace vx {

// A copy still running this long after it started gets a progress window; a shorter one
// only a wait cursor, since a window that flashes up and vanishes is worse than none.
inline constexpr std::chrono::milliseconds kProgressWindowDelay{300};
// How often a window waiting for a copy looks at it again.
inline constexpr std::chrono::milliseconds kProgressPollInterval{40};

// One file copy running on a thread of its own, so that the window that waits for it keeps
// painting. Only the copy runs there: the window's thread polls the job and alone touches
// the windows and the stored settings.
class CopyJob final : private CopyProgress {
  public:
    struct State {
        std::int64_t done = 0;
        std::int64_t total = 0;
        bool finishing = false;  // past the point where Cancel can stop it
        bool cancelled = false;  // asked to stop, which a finishing copy does not
        bool ended = false;
        // Whether Cancel may still be offered: a second press would do nothing.
        bool Cancellable() const { return !finishing && !cancelled; }
    };

    // Starts `copy` at once, reporting to this job.
    explicit CopyJob(std::function<void(CopyProgress&)> copy);
    // Cancels the copy and waits for it.
    ~CopyJob() override;
    CopyJob(const CopyJob&) = delete;
    CopyJob& operator=(const CopyJob&) = delete;
    CopyJob(CopyJob&&) = delete;
    CopyJob& operator=(CopyJob&&) = delete;

    State Now() const;
    // Asks the copy to stop; it does unless it is finishing already.
    void Cancel() noexcept { cancelled_ = true; }
    // Waits for the copy to end and throws what it threw.
    void Finish();

  private:
    bool Copied(std::int64_t done, std::int64_t total) override;
    void Finishing() override { finishing_ = true; }

    std::atomic<std::int64_t> done_{0};
    std::atomic<std::int64_t> total_{0};
    std::atomic<bool> finishing_{false};
    std::atomic<bool> cancelled_{false};
    std::atomic<bool> ended_{false};
    std::exception_ptr failure_;
    std::thread thread_;
};

}  // namespace vx
