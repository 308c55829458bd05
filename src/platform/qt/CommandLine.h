#pragma once

#include <optional>

namespace vx::qt {

// What the program does before any window exists: answers --help and --version, refuses bad
// usage, runs --list and --switch (boxes and a progress window only with a display and no
// terminal), and refuses to open the windows with no display to show them on, which would
// otherwise end in Qt's abort with a core dump. The exit status when the program is to end
// here, nullopt when the windows are to open.
std::optional<int> HandleCommandLine(int& argc, char** argv);

}  // namespace vx::qt
