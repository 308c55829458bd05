#pragma once

#include "app/CommandLine.h"

namespace vx::win32 {

// Runs --list or --switch, answering the exit status. On a `terminal` every box is a line on
// standard error and a long copy one line of progress there, and Ctrl+C cancels the copy.
// Elsewhere (started by Steam, Explorer or a shortcut) the program's own boxes and progress
// window show, with no main window, and a failed switch asks before the command runs.
int RunCommandLine(const CommandLine& line, bool terminal);

}  // namespace vx::win32
