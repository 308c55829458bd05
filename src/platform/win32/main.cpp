#include <windows.h>

#include <commctrl.h>

#include <memory>
#include <optional>
#include <string>

#include "app/EventBoundary.h"
#include "app/Startup.h"
#include "platform/win32/CommandLine.h"
#include "platform/win32/MessageBoxes.h"
#include "platform/win32/OpenFileDialog.h"
#include "platform/win32/Program.h"
#include "platform/windows-services/OpenSettings.h"
#include "platform/windows-services/SingleInstance.h"
#include "platform/windows-services/Win32Files.h"
#include "platform/windows-services/Win32SystemInfo.h"
#include "state/SettingsLayout.h"
#include "state/SingleInstanceNames.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    if (const std::optional<int> status = vx::win32::HandleCommandLine()) {
        return *status;
    }
    // One program writes the settings: a second start hands over to the first before it
    // reads any of them.
    const vx::windows::SingleInstance instance{
        std::string(vx::instance::kMutexName),
        {vx::win32::MainWindow::kClassName, vx::win32::GameFolderWindow::kClassName}};
    if (!instance.IsFirst()) {
        instance.AskFirstToRaise();
        return 0;
    }

    INITCOMMONCONTROLSEX commonControls{sizeof(commonControls), ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&commonControls);

    // Each window owns the boxes it shows; these are for failures before any window is made.
    vx::win32::Win32MessageBoxes boxes;
    vx::win32::Win32OpenFileDialog openDialog;
    const std::unique_ptr<vx::SettingsStore> settings = vx::windows::OpenSettings();
    vx::windows::Win32Files files;
    vx::windows::Win32SystemInfo system;
    const vx::Services services{*settings, files, system};
    vx::Startup startup{services};
    vx::win32::Program program{startup, services, openDialog};

    bool started = false;
    vx::RunEvent(boxes, [&] {
        program.Start(startup.Run());
        started = true;
    });
    return started ? vx::win32::RunMessageLoop() : 1;
}
