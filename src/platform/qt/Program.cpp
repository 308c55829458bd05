#include "platform/qt/Program.h"

#include <utility>

#include "platform/qt/GameFolderWindow.h"
#include "platform/qt/MainWindow.h"

namespace vx::qt {

Program::Program(Startup& startup, Services services, MessageBoxes& boxes,
                 OpenFileDialog& openDialog, std::function<void()> endProgram)
    : startup_(startup),
      services_(services),
      boxes_(boxes),
      openDialog_(openDialog),
      endProgram_(std::move(endProgram)) {}

Program::~Program() = default;

void Program::Start(FirstWindow first) {
    if (first == FirstWindow::Main) {
        OpenMainWindow();
        return;
    }
    gameFolderWindow_ =
        std::make_unique<GameFolderWindow>(startup_, services_, boxes_, *this, endProgram_);
    gameFolderWindow_->Open();
}

void Program::OpenMainWindow() {
    if (!mainWindow_) {
        mainWindow_ = std::make_unique<MainWindow>(startup_.Paths(), services_, boxes_, openDialog_,
                                                   endProgram_);
    }
    mainWindow_->Open();
}

void Program::RaiseShownWindow() {
    for (QWidget* window : {static_cast<QWidget*>(mainWindow_.get()),
                            static_cast<QWidget*>(gameFolderWindow_.get())}) {
        if (window != nullptr && window->isVisible()) {
            window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
            window->raise();
            window->activateWindow();
            return;
        }
    }
}

}  // namespace vx::qt
