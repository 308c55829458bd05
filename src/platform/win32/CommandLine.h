#pragma once

#include <optional>

namespace vx::win32 {

// What the program does before any window exists: answers --help and --version, refuses bad
// usage, and runs --list and --switch (boxes and a progress window only where it was given no
// terminal, see windows::OnTerminal). The exit status when the program is to end here, nullopt
// when the windows are to open.
std::optional<int> HandleCommandLine();

}  // namespace vx::win32
