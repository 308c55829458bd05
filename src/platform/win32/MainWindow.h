#pragma once

#include "app/Controls.h"
#include "app/MainWindow.h"
#include "app/Startup.h"
#include "platform/win32/ControlAdapters.h"
#include "platform/win32/CopyWatcher.h"
#include "platform/win32/Form.h"
#include "platform/win32/ListTooltip.h"

namespace vx::win32 {

// The main window: the registered archives, the live one named above them, and the three
// commands. It grows from its classic size, and files dropped on it are added as mods. Its
// copies show their progress over it.
class MainWindow final : public Form {
  public:
    static constexpr const wchar_t* kClassName = L"VexmoorPatchkeeper.VXModMain";
    enum ControlId : int {
        kCurrentModHeadingId = 200,
        kCurrentModId,
        kModListId,
        kSwitchId,
        kAddId,
        kRemoveId
    };

    // Creates the window, hidden; the dialog is the one Add A Mod shows.
    MainWindow(const SharedPaths& paths, Services services, OpenFileDialog& openDialog);

  private:
    void OnLoad() override { logic_.Load(); }
    void OnCommand(int id, int notification) override;
    void OnFontChanged() override { modList_.UpdateScrollWidth(); }
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    Win32Label currentMod_;
    Win32ListBox modList_;
    ListTooltip modListTips_;
    Win32CopyWatcher copies_;
    vx::MainWindow logic_;
};

}  // namespace vx::win32
