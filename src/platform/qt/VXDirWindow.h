#pragma once

#include <functional>

#include "app/VXDir.h"
#include "platform/qt/ControlAdapters.h"
#include "platform/qt/Form.h"
#include "platform/qt/QtFolderDialog.h"

class QLineEdit;

namespace vx::qt {

// The game-folder window: asks for the game's folder and hands over to the main window once a
// valid one is given.
class VXDirWindow final : public Form {
  public:
    VXDirWindow(Startup& startup, PlatformServices& platform, MessageBoxes& boxes,
                MainWindowOpener& opener, std::function<void()> onClosed);

  private:
    void OnLoad() override { logic_.Load(); }

    int dpi_;
    QLineEdit* text1_;
    QtWindow self_;
    QtTextBox text1Box_;
    QtFolderDialog browser_;
    VXDir logic_;
};

}  // namespace vx::qt
