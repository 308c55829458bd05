#pragma once

#include "app/Controls.h"
#include "app/Startup.h"

namespace vx {

// Lets the window that asked for the game folder hand over to the main window.
class MainWindowOpener {
  public:
    virtual ~MainWindowOpener() = default;
    virtual void OpenMainWindow() = 0;
};

// The game-folder window: accepts a folder only when the game's executable is in it.
class GameFolderWindow {
  public:
    struct Controls {
        Window& Self;
        TextBox& FolderText;
        FolderDialog& Browser;
    };

    GameFolderWindow(Startup& startup, Services services, MessageBoxes& boxes,
                     MainWindowOpener& opener, Controls controls);

    // The folder text before the user types.
    void Load();

    // Ok. Throws vx::Error for a failure of the platform; nothing is remembered then.
    void OnOk();
    // Browse...: the folder chosen replaces the folder text; a cancel leaves it.
    void OnBrowse();

  private:
    Startup& startup_;
    Services services_;
    MessageBoxes& boxes_;
    MainWindowOpener& opener_;
    Controls controls_;
};

}  // namespace vx
