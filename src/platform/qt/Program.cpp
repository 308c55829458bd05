#include "platform/qt/Program.h"

#include <utility>

#include "platform/qt/VXDirWindow.h"
#include "platform/qt/VXModMainWindow.h"

namespace vx::qt {

Program::Program(Startup& startup, PlatformServices& platform, MessageBoxes& boxes,
                 OpenFileDialog& commonDialog1, std::function<void()> endProgram)
    : startup_(startup),
      platform_(platform),
      boxes_(boxes),
      commonDialog1_(commonDialog1),
      endProgram_(std::move(endProgram)) {}

Program::~Program() = default;

void Program::Start(FirstWindow first) {
    if (first == FirstWindow::VXModMain) {
        OpenMainWindow();
        return;
    }
    vxDir_ = std::make_unique<VXDirWindow>(startup_, platform_, boxes_, *this, endProgram_);
    vxDir_->Open();
}

void Program::OpenMainWindow() {
    if (!vxModMain_) {
        vxModMain_ = std::make_unique<VXModMainWindow>(startup_.Paths(), platform_, boxes_,
                                                       commonDialog1_, endProgram_);
    }
    vxModMain_->Open();
}

void Program::RaiseShownWindow() {
    for (QWidget* window :
         {static_cast<QWidget*>(vxModMain_.get()), static_cast<QWidget*>(vxDir_.get())}) {
        if (window != nullptr && window->isVisible()) {
            window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
            window->raise();
            window->activateWindow();
            return;
        }
    }
}

}  // namespace vx::qt
