#pragma once

#include <functional>
#include <memory>

#include "app/Startup.h"
#include "app/VXDir.h"

namespace vx::qt {

class VXDirWindow;
class VXModMainWindow;

// Owns the two windows, each made once when it is first needed, and hands over from the
// game-folder window to the main window. `endProgram` runs when the user closes either.
class Program final : public MainWindowOpener {
  public:
    Program(Startup& startup, PlatformServices& platform, MessageBoxes& boxes,
            OpenFileDialog& commonDialog1, std::function<void()> endProgram);
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
    PlatformServices& platform_;
    MessageBoxes& boxes_;
    OpenFileDialog& commonDialog1_;
    std::function<void()> endProgram_;
    std::unique_ptr<VXDirWindow> vxDir_;
    std::unique_ptr<VXModMainWindow> vxModMain_;
};

}  // namespace vx::qt
