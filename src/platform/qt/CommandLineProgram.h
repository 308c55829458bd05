#pragma once

#include "app/CommandLine.h"

namespace vx::qt {

// Runs --list or --switch, answering the exit status. On a `terminal` no Qt is started: every
// box is a line on standard error and a long copy one line of progress there, and Ctrl+C
// cancels the copy. Elsewhere (started by Steam or a shortcut) the program's own boxes and
// progress window show, with no main window, and a failed switch asks before the command runs.
int RunCommandLine(const CommandLine& line, bool terminal, int& argc, char** argv);

}  // namespace vx::qt
