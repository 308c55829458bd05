#include "platform/win32/DialogKeys.h"

namespace vx::win32 {

void DispatchWithDialogKeys(MSG& message) {
    const HWND form = GetAncestor(message.hwnd, GA_ROOT);
    if (form != nullptr && IsDialogMessageW(form, &message) != FALSE) {
        return;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

}  // namespace vx::win32
