#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "app/Controls.h"

namespace vx::win32 {

// Waits for a copy on the windows' own thread, handling their messages meanwhile, so that
// they keep painting; see CopyWatcher. The progress window is owned by the main window.
class Win32CopyWatcher final : public CopyWatcher {
  public:
    // The main window, whose controls and drops take no input while a copy runs.
    void Attach(HWND main) { main_ = main; }
    void Watch(CopyJob& job, const std::string& fileName) override;
    bool Watching() const { return job_ != nullptr; }
    // The main window is asked to close. While a copy runs, cancels it and answers true: the
    // main window is closed once the copy has ended.
    bool DeferClose();

  private:
    void WaitFor(CopyJob& job, const std::string& fileName);
    // Handles the queued messages of the kinds `filter` (PM_QS_* flags, 0 for all) lets
    // through.
    void Pump(UINT filter);
    void ShowProgress(CopyJob& job, const std::string& fileName);
    // Posts what the program was asked meanwhile.
    void Done() noexcept;

    HWND main_ = nullptr;
    CopyJob* job_ = nullptr;
    bool closeWhenDone_ = false;
    std::optional<WPARAM> quit_;  // the exit code of a WM_QUIT that came meanwhile
};

}  // namespace vx::win32
