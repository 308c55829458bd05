#include <windows.h>

#include <commctrl.h>

#include "app/EventBoundary.h"
#include "app/Startup.h"
#include "platform/win32/Program.h"
#include "platform/win32/Win32MessageBoxes.h"
#include "platform/win32/Win32OpenFileDialog.h"
#include "platform/win32/Win32Platform.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    INITCOMMONCONTROLSEX commonControls{sizeof(commonControls), ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&commonControls);

    vx::win32::Win32MessageBoxes boxes;
    vx::win32::Win32OpenFileDialog commonDialog1;
    vx::win32::Win32Platform platform;
    vx::Startup startup{platform};
    vx::win32::Program program{startup, platform, boxes, commonDialog1};

    bool started = false;
    vx::RunEvent(boxes, [&] {
        program.Start(startup.Run());
        started = true;
    });
    return started ? vx::win32::RunMessageLoop() : 1;
}
