#include "platform/windows-services/SingleInstance.h"

#include <utility>

#include "platform/windows-services/Utf.h"

namespace vx::windows {

SingleInstance::SingleInstance(const std::string& mutexName,
                               std::vector<std::wstring> windowClasses)
    : mutex_(CreateMutexW(nullptr, FALSE, ToUtf16(mutexName).c_str())),
      first_(GetLastError() != ERROR_ALREADY_EXISTS),
      windowClasses_(std::move(windowClasses)) {}

bool SingleInstance::AskFirstToRaise() const {
    for (const std::wstring& windowClass : windowClasses_) {
        const HWND window = FindWindowW(windowClass.c_str(), nullptr);
        if (window == nullptr || IsWindowVisible(window) == FALSE) {
            continue;
        }
        if (IsIconic(window) != FALSE) {
            ShowWindow(window, SW_RESTORE);
        }
        // A box the window is waiting on comes forward rather than the window behind it. The
        // window goes on top of the others even where the system keeps the keyboard focus
        // where it was.
        const HWND front = GetLastActivePopup(window);
        BringWindowToTop(front);
        SetForegroundWindow(front);
        return true;
    }
    return false;
}

}  // namespace vx::windows
