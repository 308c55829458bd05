#pragma once

#include "app/Controls.h"
#include "app/GameFolderWindow.h"
#include "app/Startup.h"
#include "platform/win32/ControlAdapters.h"
#include "platform/win32/FolderDialog.h"
#include "platform/win32/Form.h"

namespace vx::win32 {

// The game-folder window: asks for the game's folder until Ok finds the game in it.
class GameFolderWindow final : public Form {
  public:
    static constexpr const wchar_t* kClassName = L"VexmoorPatchkeeper.VXDir";
    static constexpr int kFirstId = 100;
    static constexpr int IdOf(const layout::Control& control) {
        return IdIn(layout::gamefolder::kTabOrder, kFirstId, control);
    }

    // Creates the window, hidden.
    GameFolderWindow(Startup& startup, Services services, MainWindowOpener& opener);

  private:
    void OnLoad() override { logic_.Load(); }
    void OnCommand(int id, int notification) override;

    Win32Window self_;
    Win32TextBox folderText_;
    Win32FolderDialog browser_;
    vx::GameFolderWindow logic_;
};

}  // namespace vx::win32
