#pragma once

#include "app/Controls.h"
#include "app/Startup.h"
#include "app/VXDir.h"
#include "platform/win32/Form.h"
#include "platform/win32/Win32Controls.h"
#include "platform/win32/Win32FolderDialog.h"

namespace vx::win32 {

// The game-folder window: asks for the game's folder until Ok finds the game in it.
class VXDirWindow final : public Form {
  public:
    static constexpr const wchar_t* kClassName = L"VexmoorPatchkeeper.VXDir";
    enum ControlId : int { kLabel1Id = 100, kText1Id, kCommand1Id, kCommand2Id };

    // Creates the window, hidden.
    VXDirWindow(Startup& startup, PlatformServices& platform, MainWindowOpener& opener);

  private:
    void OnLoad() override { logic_.Load(); }
    void OnCommand(int id, int notification) override;

    Win32Window self_;
    Win32TextBox text1_;
    Win32FolderDialog browser_;
    VXDir logic_;
};

}  // namespace vx::win32
