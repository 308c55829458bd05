#include "app/CommandLine.h"

#include "ProjectInfo.h"

namespace vx {
namespace {

constexpr std::string_view kSwitch = "--switch";

bool IsOurOption(std::string_view arg) {
    return arg.starts_with("--");
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
    CommandLine line;
    const auto choose = [&line](Action action, std::string_view option) {
        if (line.action != Action::Window) {
            throw UsageError(std::string(option) + " cannot be combined with another option");
        }
        line.action = action;
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (arg == "--list") {
            choose(Action::List, arg);
        } else if (arg == "--help") {
            choose(Action::Help, arg);
        } else if (arg == "--version") {
            choose(Action::Version, arg);
        } else if (arg == kSwitch || arg.starts_with("--switch=")) {
            choose(Action::Switch, kSwitch);
            if (arg != kSwitch) {
                line.what = arg.substr(kSwitch.size() + 1);
            } else if (i + 1 < args.size()) {
                line.what = args[++i];
            }
            if (line.what.empty()) {
                throw UsageError(
                    "--switch needs the entry to make live: a number, a name or a path");
            }
        } else if (arg == "--") {
            if (line.action != Action::Switch) {
                throw UsageError("-- COMMAND comes after --switch WHAT");
            }
            line.command.assign(args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end());
            if (line.command.empty()) {
                throw UsageError("-- is followed by no command");
            }
            return line;
        } else if (IsOurOption(arg)) {
            throw UsageError(std::string("unknown option ").append(arg));
        } else {
            line.toolkit.emplace_back(arg);
        }
    }
    if (line.action != Action::Window && !line.toolkit.empty()) {
        throw UsageError("unexpected argument " + line.toolkit.front());
    }
    return line;
}

std::string Usage(std::string_view program) {
    return "Usage: " + std::string(program) +
           " [--list | --switch WHAT [-- COMMAND [ARGS...]] | --help | "
           "--version]\n"
           "  (no option)       open the window\n"
           "  --list            list the mods, numbered, the live one marked with *\n"
           "  --switch WHAT     make WHAT live: its number in the list, its file name (with or\n"
           "                    without .zpk) or its path; a path not listed yet is added\n"
           "  -- COMMAND ...    after the switch, run COMMAND and end with its exit status\n"
           "                    (in Steam's launch options: --switch WHAT -- %command%)\n"
           "Exit status: 0 done, 1 the switch failed or was refused, 2 bad usage, 130 Ctrl+C;\n"
           "with -- COMMAND, the command's own (127 when it cannot be started).\n";
}

std::string VersionLine() {
    return std::string(kProgramName) + " " + std::string(kVersion) + "\n";
}

}  // namespace vx
