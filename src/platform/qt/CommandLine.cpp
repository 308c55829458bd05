#include "platform/qt/CommandLine.h"

#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "platform/posix/CommandLineSystem.h"
#include "platform/qt/CommandLineProgram.h"

namespace vx::qt {
namespace {

bool IsSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

}  // namespace

std::optional<int> HandleCommandLine(int& argc, char** argv) {
    const std::string program = "vexmoor-patchkeeper";
    CommandLine line;
    try {
        line = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const UsageError& error) {
        std::cerr << program << ": " << error.what() << '\n' << Usage(program);
        return kExitUsage;
    }
    // A platform chosen by hand (offscreen, vnc, ...) may need no display at all.
    bool display = IsSet("DISPLAY") || IsSet("WAYLAND_DISPLAY") || IsSet("QT_QPA_PLATFORM");
    for (const std::string& arg : line.toolkit) {
        display = display || arg == "-platform";
    }
    switch (line.action) {
        case Action::Help:
            std::cout << Usage(program);
            return kExitDone;
        case Action::Version:
            std::cout << VersionLine();
            return kExitDone;
        case Action::List:
        case Action::Switch:
            return RunCommandLine(
                line, !display || line.action == Action::List || posix::OnTerminal(), argc, argv);
        case Action::Window:
            break;
    }
    if (!display) {
        std::cerr << program
                  << " needs a graphical session: neither DISPLAY nor WAYLAND_DISPLAY is set.\n";
        return kExitFailed;
    }
    return std::nullopt;
}

}  // namespace vx::qt
