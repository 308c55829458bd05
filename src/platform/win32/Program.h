#pragma once

#include <optional>

#include "app/Controls.h"
#include "app/Startup.h"
#include "app/VXDir.h"
#include "platform/win32/VXDirWindow.h"
#include "platform/win32/VXModMainWindow.h"

namespace vx::win32 {

// Owns the two windows, each made once when it is first needed, and hands over from the
// game-folder window to the main window.
class Program final : public MainWindowOpener {
  public:
    Program(Startup& startup, PlatformServices& platform, OpenFileDialog& commonDialog1);

    // Opens the window that Startup::Run chose. Throws vx::Error when it cannot be made.
    void Start(FirstWindow first);

    void OpenMainWindow() override;

  private:
    Startup& startup_;
    PlatformServices& platform_;
    OpenFileDialog& commonDialog1_;
    std::optional<VXDirWindow> vxDir_;
    std::optional<VXModMainWindow> vxModMain_;
};

// Runs until a window is closed; answers the program's exit code. Tab, Shift+Tab, Enter and
// the arrow keys move between controls as in a dialog.
int RunMessageLoop();

}  // namespace vx::win32
