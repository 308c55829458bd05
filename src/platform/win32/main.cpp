#include <windows.h>

#include <commctrl.h>

#include <exception>

#include "app/ErrorReport.h"
#include "app/Startup.h"
#include "platform/win32/Program.h"
#include "platform/win32/Win32MessageBoxes.h"
#include "platform/win32/Win32OpenFileDialog.h"
#include "platform/win32/Win32Platform.h"
#include "state/Error.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    INITCOMMONCONTROLSEX commonControls{sizeof(commonControls), ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&commonControls);

    vx::win32::Win32MessageBoxes boxes;
    vx::win32::Win32OpenFileDialog commonDialog1;
    try {
        vx::win32::Win32Platform platform;
        vx::Startup startup{platform};
        vx::win32::Program program{startup, platform, boxes, commonDialog1};
        program.Start(startup.Run());
        return vx::win32::RunMessageLoop();
    } catch (const vx::Error& error) {
        vx::ReportError(boxes, error);
    } catch (const std::exception& error) {
        vx::ReportError(boxes, vx::Error(0, error.what()));
    }
    return 1;
}
