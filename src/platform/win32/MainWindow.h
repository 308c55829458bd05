#pragma once

#include "app/Controls.h"
#include "app/MainWindow.h"
#include "app/Startup.h"
#include "platform/win32/ControlAdapters.h"
#include "platform/win32/CopyWatcher.h"
#include "platform/win32/Form.h"
#include "platform/win32/ListTooltip.h"
#include "platform/win32/OpenFileDialog.h"

namespace vx::win32 {

// The main window: the registered archives, the live one named above them, and the buttons of
// its commands. It grows from its laid-out size, which is its smallest, and files dropped on it
// are added as mods. Its copies show their progress over it, and its open-file dialog too.
class MainWindow final : public Form {
  public:
    static constexpr const wchar_t* kClassName = L"VexmoorPatchkeeper.VXModMain";
    static constexpr int kFirstId = 200;
    static constexpr int IdOf(const layout::Control& control) {
        return IdIn(layout::mainwindow::kTabOrder, kFirstId, control);
    }

    // Creates the window, hidden; the dialog is the one Add A Mod shows, over this window.
    MainWindow(const SharedPaths& paths, Services services, Win32OpenFileDialog& openDialog);

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
