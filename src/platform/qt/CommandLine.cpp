#include "platform/qt/CommandLine.h"

#include <cstdlib>
#include <iostream>
#include <string_view>

#include "ProjectInfo.h"

namespace vx::qt {
namespace {

bool IsSet(const Environment& environment, const char* name) {
    const char* value = environment(name);
    return value != nullptr && *value != '\0';
}

}  // namespace

std::optional<int> HandleCommandLine(std::span<char* const> args, const Environment& environment,
                                     std::ostream& out, std::ostream& err) {
    bool platformChosen = IsSet(environment, "QT_QPA_PLATFORM");
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (arg == "--version") {
            out << kProgramName << ' ' << kVersion << '\n';
            return 0;
        }
        platformChosen = platformChosen || arg == "-platform";
    }
    // A platform chosen by hand (offscreen, vnc, ...) may need no display at all.
    if (!platformChosen && !IsSet(environment, "DISPLAY") &&
        !IsSet(environment, "WAYLAND_DISPLAY")) {
        err << "vexmoor-patchkeeper needs a graphical session: neither DISPLAY nor "
               "WAYLAND_DISPLAY is set.\n";
        return 1;
    }
    return std::nullopt;
}

std::optional<int> HandleCommandLine(int argc, char** argv) {
    return HandleCommandLine(
        std::span<char* const>(argv, static_cast<std::size_t>(argc)),
        [](const char* name) { return std::getenv(name); }, std::cout, std::cerr);
}

}  // namespace vx::qt
