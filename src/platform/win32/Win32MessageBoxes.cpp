#include "platform/win32/Win32MessageBoxes.h"

#include <windows.h>

#include "platform/win32/Utf.h"
#include "platform/win32/Win32Error.h"

namespace vx::win32 {

void Win32MessageBoxes::Show(const std::string& text, const std::string& title) {
    if (MessageBoxW(GetActiveWindow(), ToUtf16(text).c_str(), ToUtf16(title).c_str(), MB_OK) == 0) {
        throw LastError();
    }
}

bool Win32MessageBoxes::AskRetry(const std::string& text, const std::string& title) {
    const int answer = MessageBoxW(GetActiveWindow(), ToUtf16(text).c_str(), ToUtf16(title).c_str(),
                                   MB_RETRYCANCEL);
    if (answer == 0) {
        throw LastError();
    }
    return answer == IDRETRY;
}

}  // namespace vx::win32
