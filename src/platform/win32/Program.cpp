#include "platform/win32/Program.h"

#include <windows.h>

#include "platform/win32/DialogKeys.h"

namespace vx::win32 {

Program::Program(Startup& startup, PlatformServices& platform, OpenFileDialog& commonDialog1)
    : startup_(startup), platform_(platform), commonDialog1_(commonDialog1) {}

void Program::Start(FirstWindow first) {
    if (first == FirstWindow::VXModMain) {
        OpenMainWindow();
        return;
    }
    vxDir_.emplace(startup_, platform_, *this);
    vxDir_->Open();
}

void Program::OpenMainWindow() {
    if (!vxModMain_) {
        try {
            vxModMain_.emplace(startup_.Paths(), platform_, commonDialog1_);
        } catch (...) {
            // The game-folder window hid itself before asking for this one: without it the
            // user would be left with no window at all.
            if (vxDir_) {
                vxDir_->Open();
            }
            throw;
        }
    }
    vxModMain_->Open();
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
