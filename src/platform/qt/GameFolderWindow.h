#pragma once

#include <functional>

#include "app/GameFolderWindow.h"
#include "platform/qt/ControlAdapters.h"
#include "platform/qt/FolderDialog.h"
#include "platform/qt/Form.h"

class QLineEdit;

namespace vx::qt {

// The game-folder window: asks for the game's folder and hands over to the main window once a
// valid one is given.
class GameFolderWindow final : public Form {
  public:
    GameFolderWindow(Startup& startup, Services services, MessageBoxes& boxes,
                     MainWindowOpener& opener, std::function<void()> onClosed);

  private:
    void OnLoad() override { logic_.Load(); }

    int dpi_;
    QLineEdit* folderText_;
    QtWindow self_;
    QtTextBox folderTextBox_;
    QtFolderDialog browser_;
    vx::GameFolderWindow logic_;
};

}  // namespace vx::qt
