#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace vx {

// What the program was started to do.
enum class Action {
    Window,   // no option of ours: the windows
    List,     // --list
    Switch,   // --switch WHAT [-- COMMAND [ARGS...]]
    Help,     // --help
    Version,  // --version
};

struct CommandLine {
    Action action = Action::Window;
    std::string what;                  // the entry --switch makes live
    std::vector<std::string> command;  // what runs after the switch, empty for none
    // Arguments that are no option of ours (Qt's own `-platform offscreen`, say), left to the
    // toolkit; only a start of the windows may have them.
    std::vector<std::string> toolkit;
};

// Bad usage; what() is the one line that says what is wrong.
class UsageError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Reads the arguments after the program's name, the same way on every platform; throws
// UsageError.
CommandLine ParseCommandLine(const std::vector<std::string>& args);

// What --help prints, and bad usage after its one line; `program` is the name it was started by.
std::string Usage(std::string_view program);

// What --version prints.
std::string VersionLine();

// Exit statuses of the command line, as shells and Steam read them.
inline constexpr int kExitDone = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitCannotRun = 127;    // the command after -- could not be started
inline constexpr int kExitInterrupted = 130;  // Ctrl+C, as a shell reports SIGINT

}  // namespace vx
