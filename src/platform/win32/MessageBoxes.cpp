#include "platform/win32/MessageBoxes.h"

#include "platform/windows-services/Utf.h"
#include "platform/windows-services/Win32Error.h"

namespace vx::win32 {

int Win32MessageBoxes::Ask(const std::string& text, const std::string& title, UINT buttons) const {
    // A window still hidden (failing as it loads) would hide the box from the taskbar too.
    const HWND owner = IsWindowVisible(owner_) != FALSE ? owner_ : nullptr;
    const int answer = MessageBoxW(owner, windows::ToUtf16(text).c_str(),
                                   windows::ToUtf16(title).c_str(), buttons);
    if (answer == 0) {
        throw windows::LastError();
    }
    return answer;
}

void Win32MessageBoxes::Show(const std::string& text, const std::string& title) {
    Ask(text, title, MB_OK);
}

bool Win32MessageBoxes::AskRetry(const std::string& text, const std::string& title) {
    return Ask(text, title, MB_RETRYCANCEL) == IDRETRY;
}

}  // namespace vx::win32
