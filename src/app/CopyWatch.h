#pragma once

#include <chrono>
#include <string>

#include "app/Controls.h"

namespace vx {

// How the windows wait for a copy, whatever the toolkit. At first they only paint, under a
// wait cursor, and the user's input waits, as in a window busy for a moment: a copy that ends
// by then shows nothing more. A copy still running after kProgressWindowDelay gets the
// progress window over the main window, whose controls take no input until it ends. Closing
// the main window meanwhile cancels the copy, and closes it once the command that started the
// copy has ended. A binding says how each of these is done with its toolkit.
class CopyWatch : public CopyWatcher {
  public:
    void Watch(CopyJob& job, const std::string& fileName) final;

    // The main window is asked to close: while a copy runs, cancels it and answers true.
    bool DeferClose();
    bool Watching() const { return job_ != nullptr; }

  protected:
    using Clock = std::chrono::steady_clock;

    // The wait cursor on, files dropped on the main window refused.
    virtual void BeginWatch() = 0;
    // Handles painting and the windows' own messages, not the user's input, until `until` or
    // the end of `job`.
    virtual void WaitQuietly(CopyJob& job, Clock::time_point until) = 0;
    // Shows the progress window for `job` over the main window, whose controls are disabled,
    // and handles every event until the job ends.
    virtual void WaitWithProgress(CopyJob& job, const std::string& fileName) = 0;
    // Undoes BeginWatch however the watch ended; with `close`, closes the main window once the
    // command that copied has returned, never at once.
    virtual void EndWatch(bool close) noexcept = 0;

  private:
    void Finish() noexcept;

    CopyJob* job_ = nullptr;
    bool closeWhenDone_ = false;
};

}  // namespace vx
