#pragma once

#include <functional>
#include <iosfwd>
#include <optional>
#include <span>

namespace vx::qt {

// What the program answers before any window exists: `--version`, and a start with no
// display to show a window on, which would otherwise end in Qt's abort with a core dump.
// The exit status when the program is to end here, nullopt when it is to go on.
std::optional<int> HandleCommandLine(int argc, char** argv);

// The same, with the environment and the output given.
using Environment = std::function<const char*(const char* name)>;
std::optional<int> HandleCommandLine(std::span<char* const> args, const Environment& environment,
                                     std::ostream& out, std::ostream& err);

}  // namespace vx::qt
