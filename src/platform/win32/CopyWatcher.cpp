#include "platform/win32/CopyWatcher.h"

#include <shellapi.h>

#include <algorithm>
#include <chrono>
#include <utility>
#include <vector>

#include "platform/win32/DialogKeys.h"
#include "platform/win32/ProgressWindow.h"

namespace vx::win32 {
namespace {

using Clock = std::chrono::steady_clock;

DWORD Milliseconds(Clock::duration duration) {
    return static_cast<DWORD>(std::chrono::ceil<std::chrono::milliseconds>(duration).count());
}

// A window's controls disabled for one scope; those that were disabled already stay so. The
// window itself stays enabled, so that its close box still works.
class DisabledControls {
  public:
    explicit DisabledControls(HWND window) {
        for (HWND child = GetWindow(window, GW_CHILD); child != nullptr;
             child = GetWindow(child, GW_HWNDNEXT)) {
            if (IsWindowEnabled(child) != FALSE) {
                EnableWindow(child, FALSE);
                disabled_.push_back(child);
            }
        }
    }
    DisabledControls(const DisabledControls&) = delete;
    DisabledControls& operator=(const DisabledControls&) = delete;
    DisabledControls(DisabledControls&&) = delete;
    DisabledControls& operator=(DisabledControls&&) = delete;
    ~DisabledControls() {
        for (const HWND child : disabled_) {
            EnableWindow(child, TRUE);
        }
    }

  private:
    std::vector<HWND> disabled_;
};

}  // namespace

void Win32CopyWatcher::BeginWatch() {
    previousCursor_ = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    // Files dropped meanwhile would start a second command inside this one: the window
    // refuses them, and the pointer says so, until the copy has ended.
    DragAcceptFiles(main_, FALSE);
}

void Win32CopyWatcher::WaitQuietly(CopyJob& job, Clock::time_point until) {
    while (!job.Now().ended && Clock::now() < until) {
        const Clock::duration wait =
            std::min<Clock::duration>(until - Clock::now(), kProgressPollInterval);
        MsgWaitForMultipleObjectsEx(0, nullptr, Milliseconds(wait),
                                    QS_PAINT | QS_POSTMESSAGE | QS_SENDMESSAGE | QS_TIMER, 0);
        Pump(job, PM_QS_PAINT | PM_QS_POSTMESSAGE | PM_QS_SENDMESSAGE);
    }
}

void Win32CopyWatcher::WaitWithProgress(CopyJob& job, const std::string& fileName) {
    ProgressWindow window(main_, job, fileName);
    // Enabled again before the window goes, so that the main window takes the focus back.
    const DisabledControls disabled(main_);
    window.Open();
    while (!job.Now().ended) {
        MsgWaitForMultipleObjectsEx(0, nullptr, Milliseconds(kProgressPollInterval), QS_ALLINPUT,
                                    MWMO_INPUTAVAILABLE);
        Pump(job, 0);
        window.Update();
    }
}

void Win32CopyWatcher::Pump(CopyJob& job, UINT filter) {
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE | filter) != FALSE) {
        if (message.message == WM_QUIT) {
            quit_ = message.wParam;  // the program is ending: the copy need not
            job.Cancel();
            continue;
        }
        DispatchWithDialogKeys(message);
    }
}

void Win32CopyWatcher::EndWatch(bool close) noexcept {
    SetCursor(previousCursor_);
    DragAcceptFiles(main_, TRUE);
    if (quit_) {
        PostQuitMessage(static_cast<int>(*std::exchange(quit_, std::nullopt)));
    }
    // Posted, the close comes once the command that copied has returned.
    if (close) {
        PostMessageW(main_, WM_CLOSE, 0, 0);
    }
}

}  // namespace vx::win32
