#include "platform/win32/Program.h"

#include <windows.h>

#include "platform/win32/DialogKeys.h"

namespace vx::win32 {

Program::Program(Startup& startup, Services services, Win32OpenFileDialog& openDialog)
    : startup_(startup), services_(services), openDialog_(openDialog) {}

void Program::Start(FirstWindow first) {
    if (first == FirstWindow::Main) {
        OpenMainWindow();
        return;
    }
    gameFolderWindow_.emplace(startup_, services_, *this);
    gameFolderWindow_->Open();
}

void Program::OpenMainWindow() {
    if (!mainWindow_) {
        try {
            mainWindow_.emplace(startup_.Paths(), services_, openDialog_);
        } catch (...) {
            // The game-folder window hid itself before asking for this one: without it the
            // user would be left with no window at all.
            if (gameFolderWindow_) {
                gameFolderWindow_->Open();
            }
            throw;
        }
    }
    mainWindow_->Open();
}

int RunMessageLoop() {
    MSG message{};
    for (;;) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) {
            return static_cast<int>(message.wParam);
        }
        if (got == -1) {
            return 1;
        }
        DispatchWithDialogKeys(message);
    }
}

}  // namespace vx::win32
