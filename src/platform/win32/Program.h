#pragma once

#include <optional>

#include "app/Controls.h"
#include "app/GameFolderWindow.h"
#include "app/Startup.h"
#include "platform/win32/GameFolderWindow.h"
#include "platform/win32/MainWindow.h"
#include "platform/win32/OpenFileDialog.h"

namespace vx::win32 {

// Owns the two windows, each made once when it is first needed, and hands over from the
// game-folder window to the main window.
class Program final : public MainWindowOpener {
  public:
    Program(Startup& startup, Services services, Win32OpenFileDialog& openDialog);

    // Opens the window that Startup::Run chose. Throws vx::Error when it cannot be made.
    void Start(FirstWindow first);

    void OpenMainWindow() override;

  private:
    Startup& startup_;
    Services services_;
    Win32OpenFileDialog& openDialog_;
    std::optional<GameFolderWindow> gameFolderWindow_;
    std::optional<MainWindow> mainWindow_;
};

// Runs until a window is closed; answers the program's exit code. Tab, Shift+Tab, Enter and
// the arrow keys move between controls as in a dialog.
int RunMessageLoop();

}  // namespace vx::win32
