#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "app/CopyWatch.h"

namespace vx::win32 {

// Waits for a copy on the windows' own thread, handling their messages meanwhile (see
// CopyWatch). The progress window is owned by the main window.
class Win32CopyWatcher final : public CopyWatch {
  public:
    // The main window, whose controls and drops take no input while a copy runs.
    void Attach(HWND main) { main_ = main; }

  private:
    void BeginWatch() override;
    void WaitQuietly(CopyJob& job, Clock::time_point until) override;
    void WaitWithProgress(CopyJob& job, const std::string& fileName) override;
    void EndWatch(bool close) noexcept override;
    // Handles the queued messages of the kinds `filter` (PM_QS_* flags, 0 for all) lets
    // through.
    void Pump(CopyJob& job, UINT filter);

    HWND main_ = nullptr;
    HCURSOR previousCursor_ = nullptr;
    std::optional<WPARAM> quit_;  // the exit code of a WM_QUIT that came meanwhile
};

}  // namespace vx::win32
