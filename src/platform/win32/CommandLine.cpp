#include "platform/win32/CommandLine.h"

#include <string>

#include "app/CommandLine.h"
#include "platform/win32/CommandLineProgram.h"
#include "platform/win32/MessageBoxes.h"
#include "platform/windows-services/CommandLineSystem.h"
#include "state/SettingsLayout.h"

namespace vx::win32 {

std::optional<int> HandleCommandLine() {
    const std::string program = "VexmoorPatchkeeper.exe";
    CommandLine line;
    std::string usageError;
    try {
        line = ParseCommandLine(windows::Arguments());
    } catch (const UsageError& error) {
        usageError = program + ": " + error.what() + "\n";
        line.action = Action::Help;
    }
    if (line.action == Action::Window) {
        return std::nullopt;
    }
    const bool terminal = windows::OnTerminal();
    if (line.action == Action::List || line.action == Action::Switch) {
        return RunCommandLine(line, terminal);
    }
    const std::string text =
        line.action == Action::Version ? VersionLine() : usageError + Usage(program);
    const int status = usageError.empty() ? kExitDone : kExitUsage;
    if (!terminal) {
        Win32MessageBoxes().Show(text, std::string(settings::kAppName));
        return status;
    }
    windows::StandardOutput(status == kExitDone ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE).Write(text);
    return status;
}

}  // namespace vx::win32
