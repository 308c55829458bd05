#pragma once

#include "app/Controls.h"
#include "app/Startup.h"
#include "app/VXModMain.h"
#include "platform/win32/Form.h"
#include "platform/win32/ListTooltip.h"
#include "platform/win32/Win32Controls.h"
#include "platform/win32/Win32CopyWatcher.h"

namespace vx::win32 {

// The main window: the registered archives, the live one named above them, and the three
// commands. It grows from its classic size, and files dropped on it are added as mods. Its
// copies show their progress over it.
class VXModMainWindow final : public Form {
  public:
    static constexpr const wchar_t* kClassName = L"VexmoorPatchkeeper.VXModMain";
    enum ControlId : int {
        kLabel1Id = 200,
        kLabel2Id,
        kList1Id,
        kSwtichId,
        kCommand2Id,
        kCommand1Id
    };

    // Creates the window, hidden; the dialog is the one Add A Mod shows.
    VXModMainWindow(const SharedPaths& paths, PlatformServices& platform,
                    OpenFileDialog& commonDialog1);

  private:
    void OnLoad() override { logic_.Load(); }
    void OnCommand(int id, int notification) override;
    void OnFontChanged() override { list1_.UpdateScrollWidth(); }
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    Win32Label label2_;
    Win32ListBox list1_;
    ListTooltip list1Tips_;
    Win32CopyWatcher copies_;
    VXModMain logic_;
};

}  // namespace vx::win32
