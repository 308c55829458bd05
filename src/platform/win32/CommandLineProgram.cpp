#include "platform/win32/CommandLineProgram.h"

#include <windows.h>

#include <commctrl.h>

#include <memory>

#include "app/CommandLineRun.h"
#include "platform/win32/CopyWatcher.h"
#include "platform/win32/MessageBoxes.h"
#include "platform/windows-services/CommandLineSystem.h"
#include "platform/windows-services/OpenSettings.h"
#include "platform/windows-services/Utf.h"
#include "platform/windows-services/Win32Files.h"
#include "platform/windows-services/Win32SystemInfo.h"
#include "state/SettingsLayout.h"

namespace vx::win32 {
namespace {

// The command line where boxes are shown: its one question is a box too.
class BoxedCommandLineSystem final : public windows::CommandLineSystem {
  public:
    using CommandLineSystem::CommandLineSystem;
    bool AskYesNo(const std::string& question, const std::string& title) override {
        return MessageBoxW(nullptr, windows::ToUtf16(question).c_str(),
                           windows::ToUtf16(title).c_str(),
                           MB_YESNO | MB_DEFBUTTON2 | MB_SETFOREGROUND) == IDYES;
    }
};

}  // namespace

int RunCommandLine(const CommandLine& line, bool terminal) {
    windows::StandardOutput out(STD_OUTPUT_HANDLE);
    windows::StandardOutput err(STD_ERROR_HANDLE);
    // The same store the window uses: the INI file beside the program where it makes it portable.
    const std::unique_ptr<SettingsStore> settings = windows::OpenSettings();
    windows::Win32Files files;
    windows::Win32SystemInfo system;
    const Services services{*settings, files, system};
    if (terminal) {
        windows::CommandLineSystem host(err);
        return RunCommandLineOnTerminal(line, services, host, out, err, windows::ErrorOnTerminal());
    }
    INITCOMMONCONTROLSEX commonControls{sizeof(commonControls), ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&commonControls);
    // No main window: the progress window stands alone.
    Win32CopyWatcher copies;
    Win32MessageBoxes boxes;
    BoxedCommandLineSystem host(err);
    return RunCommandLine(line, services, {boxes, copies, false}, host, out);
}

}  // namespace vx::win32
