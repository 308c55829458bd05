#pragma once

#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/ConsoleControls.h"
#include "app/Controls.h"
#include "app/Services.h"

namespace vx {

// What the command line needs of the system it runs on, beside the window logic's services.
class CommandLineHost {
  public:
    virtual ~CommandLineHost() = default;
    // Takes the lock the window holds as long as it is open, so that only one program writes;
    // false, taking nothing, while a window or another switch holds it.
    virtual bool TakeLock() = 0;
    virtual void ReleaseLock() noexcept = 0;
    // `path` as given on the command line, made full from the working folder.
    virtual std::string FullPath(const std::string& path) = 0;
    // Whether the user pressed Ctrl+C since the command line started.
    virtual bool Interrupted() const = 0;
    // Runs `command` with the environment the program was given and waits for it: answers its
    // exit status, kExitCannotRun (having said why) when it could not be started.
    virtual int RunCommand(const std::vector<std::string>& command) = 0;
    // Asks `question` with Yes and No buttons. Only asked where boxes are shown.
    virtual bool AskYesNo(const std::string& question, const std::string& title) = 0;
};

// How the command line shows what the window logic shows.
struct CommandLineControls {
    MessageBoxes& Boxes;  // one line each on a terminal, the program's boxes elsewhere
    CopyWatcher& Copies;  // the console's progress line, or the progress window
    bool Terminal;        // no box may ask anything: a failed switch runs no command
};

// Runs --list or --switch over the same window logic as the main window; answers the exit
// status. The list, and the live entry's name after a switch, go to `out`.
int RunCommandLine(const CommandLine& line, Services services, CommandLineControls controls,
                   CommandLineHost& host, Output& out);

// The same on a terminal: each box one line on `err`, a copy's progress one updating line there
// when `progressLine` (`err` is a terminal), Ctrl+C as the host reports it.
int RunCommandLineOnTerminal(const CommandLine& line, Services services, CommandLineHost& host,
                             Output& out, Output& err, bool progressLine);

}  // namespace vx
