#pragma once

#include <QWidget>
#include <functional>

#include "ControlAdapters.h"
#include "app/VXDir.h"

class QCloseEvent;
class QLineEdit;
class QPushButton;

namespace vx::qt {

// The game-folder window: asks for the game's folder and hands over to the main window once a
// valid one is given. Closing it ends the program (`onClosed`); hiding it does not.
class VXDirWindow final : public QWidget {
  public:
    VXDirWindow(Startup& startup, PlatformServices& platform, MessageBoxes& boxes,
                MainWindowOpener& opener, std::function<void()> onClosed);

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    MessageBoxes& boxes_;
    std::function<void()> onClosed_;
    int dpi_;
    QLineEdit* text1_;
    QPushButton* command1_;
    QtWindow self_;
    QtTextBox text1Box_;
    VXDir logic_;
};

}  // namespace vx::qt
