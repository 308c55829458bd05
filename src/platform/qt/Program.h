#pragma once

#include <functional>
#include <memory>

#include "app/Startup.h"
#include "app/VXDir.h"

namespace vx::qt {

class VXDirWindow;
class VXModMainWindow;

// The run's two windows: opens the first, hands over from the game-folder window to the main
// window, and calls `endProgram` when the user closes either of them.
class Program final : public MainWindowOpener {
  public:
    Program(Startup& startup, PlatformServices& platform, MessageBoxes& boxes,
            OpenFileDialog& commonDialog1, std::function<void()> endProgram);
    ~Program() override;
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;
    Program(Program&&) = delete;
    Program& operator=(Program&&) = delete;

    void Open(FirstWindow first);

    // Builds and loads the main window on the first call, then shows it.
    void OpenMainWindow() override;

  private:
    Startup& startup_;
    PlatformServices& platform_;
    MessageBoxes& boxes_;
    OpenFileDialog& commonDialog1_;
    std::function<void()> endProgram_;
    std::unique_ptr<VXModMainWindow> mainWindow_;
    std::unique_ptr<VXDirWindow> gameFolderWindow_;
};

}  // namespace vx::qt
