#include "platform/win32/Win32MessageBoxes.h"

#include "platform/win32/Utf.h"
#include "platform/win32/Win32Error.h"

namespace vx::win32 {

int Win32MessageBoxes::Ask(const std::string& text, const std::string& title, UINT buttons) const {
    // A window still hidden (failing as it loads) would hide the box from the taskbar too.
    const HWND owner = IsWindowVisible(owner_) != FALSE ? owner_ : nullptr;
    const int answer = MessageBoxW(owner, ToUtf16(text).c_str(), ToUtf16(title).c_str(), buttons);
    if (answer == 0) {
        throw LastError();
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
