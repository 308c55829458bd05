#include "Program.h"

#include <utility>

#include "ControlAdapters.h"
#include "VXDirWindow.h"
#include "VXModMainWindow.h"

namespace vx::qt {

Program::Program(Startup& startup, PlatformServices& platform, MessageBoxes& boxes,
                 OpenFileDialog& commonDialog1, std::function<void()> endProgram)
    : startup_(startup),
      platform_(platform),
      boxes_(boxes),
      commonDialog1_(commonDialog1),
      endProgram_(std::move(endProgram)) {}

Program::~Program() = default;

void Program::Open(FirstWindow first) {
    if (first == FirstWindow::VXModMain) {
        OpenMainWindow();
        return;
    }
    if (!gameFolderWindow_) {
        gameFolderWindow_ =
            std::make_unique<VXDirWindow>(startup_, platform_, boxes_, *this, endProgram_);
    }
    QtWindow(*gameFolderWindow_).Show();
}

void Program::OpenMainWindow() {
    if (!mainWindow_) {
        mainWindow_ = std::make_unique<VXModMainWindow>(startup_.Paths(), platform_, boxes_,
                                                        commonDialog1_, endProgram_);
    }
    QtWindow(*mainWindow_).Show();
}

}  // namespace vx::qt
