#pragma once

#include <functional>
#include <memory>

#include "app/GameFolderWindow.h"
#include "app/Startup.h"

namespace vx::qt {

class GameFolderWindow;
class MainWindow;

// Owns the two windows, each made once when it is first needed, and hands over from the
// game-folder window to the main window. `endProgram` runs when the user closes either.
class Program final : public MainWindowOpener {
  public:
    Program(Startup& startup, Services services, MessageBoxes& boxes, OpenFileDialog& openDialog,
            std::function<void()> endProgram);
    ~Program() override;
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;
    Program(Program&&) = delete;
    Program& operator=(Program&&) = delete;

    // Opens the window that Startup::Run chose.
    void Start(FirstWindow first);

    void OpenMainWindow() override;

    // Brings whichever window is shown forward, out of the taskbar if it was minimised.
    void RaiseShownWindow();

  private:
    Startup& startup_;
    Services services_;
    MessageBoxes& boxes_;
    OpenFileDialog& openDialog_;
    std::function<void()> endProgram_;
    std::unique_ptr<GameFolderWindow> gameFolderWindow_;
    std::unique_ptr<MainWindow> mainWindow_;
};

}  // namespace vx::qt
