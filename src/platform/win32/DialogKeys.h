#pragma once

#include <windows.h>

namespace vx::win32 {

// Hands a message taken from the queue to its window, after the dialog keys of the form it
// belongs to: Tab, Shift+Tab, Enter, Esc and the arrow keys move between controls as in a
// dialog.
void DispatchWithDialogKeys(MSG& message);

}  // namespace vx::win32
