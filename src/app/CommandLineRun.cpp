#include "app/CommandLineRun.h"

#include <algorithm>
#include <optional>
#include <string_view>

#include "app/ConsoleControls.h"
#include "app/ErrorReport.h"
#include "app/MainWindow.h"
#include "app/Startup.h"
#include "state/CopyProgress.h"
#include "state/Error.h"
#include "state/SettingsLayout.h"

namespace vx {
namespace {

constexpr std::string_view kHeldElsewhere =
    "Patchkeeper is open, or another switch from the command line is under way; only one of them "
    "may change the list at a time. Close its window (or wait for that switch) and try again.";

constexpr std::string_view kNoGameFolder =
    "No game folder is remembered yet. Start Patchkeeper once without options and choose the "
    "game's folder (the one that holds vexmoor.exe), then try again.";

constexpr std::string_view kStartAnyway = "\n\nStart the game anyway?";

// The longest number taken for an entry's: more digits than 32767 has are never one.
constexpr std::size_t kMaxNumberDigits = 5;

// Which row WHAT names, or why none.
struct Resolved {
    int row = -1;
    std::string why;
};

class CommandLineRun {
  public:
    CommandLineRun(const CommandLine& line, Services services, CommandLineControls controls,
                   CommandLineHost& host, Output& out)
        : line_(line), services_(services), controls_(controls), host_(host), out_(out) {}

    int Run();

  private:
    // Lists or switches under the lock; answers why it failed, nothing when it did not.
    std::optional<std::string> ListOrSwitch();
    std::optional<std::string> SwitchListed(MainWindow& window);
    Resolved Resolve(MainWindow& window);
    Resolved ResolveNumber() const;
    Resolved ResolveName() const;
    Resolved ResolvePath(const std::string& path) const;
    std::string NameOf(const std::string& path) const;
    std::string Row(int row) const;
    // Says why the switch failed; where a box may ask, offers to run the command all the same.
    int Failed(const std::string& why);

    const CommandLine& line_;
    Services services_;
    CommandLineControls controls_;
    CommandLineHost& host_;
    Output& out_;
    ConsoleLabel label_;
    ConsoleList list_;
    ConsoleOpenFileDialog chosen_;
};

int CommandLineRun::Run() {
    const std::optional<std::string> why = ListOrSwitch();
    // The command may run for hours (the game): the window may open meanwhile.
    host_.ReleaseLock();
    if (host_.Interrupted()) {
        return kExitInterrupted;
    }
    if (why) {
        return Failed(*why);
    }
    if (line_.command.empty()) {
        return kExitDone;
    }
    return host_.RunCommand(line_.command);
}

std::optional<std::string> CommandLineRun::ListOrSwitch() {
    try {
        if (!host_.TakeLock()) {
            return std::string(kHeldElsewhere);
        }
        Startup startup(services_);
        if (startup.Run() == FirstWindow::GameFolder) {
            return std::string(kNoGameFolder);
        }
        MainWindow window(startup.Paths(), services_, controls_.Boxes,
                          {label_, list_, chosen_, controls_.Copies});
        window.Load();
        if (line_.action == Action::Switch) {
            return SwitchListed(window);
        }
        for (int row = 0; row < static_cast<int>(list_.Items().size()); ++row) {
            std::string text = row == window.LiveRow() ? "* " : "  ";
            text += Row(row);
            text += '\n';
            out_.Write(text);
        }
        return std::nullopt;
    } catch (const CopyCancelled& cancelled) {
        return cancelled.what();
    } catch (const Error& error) {
        return FormatError(error);
    } catch (const std::exception& error) {
        return error.what();
    }
}

std::optional<std::string> CommandLineRun::SwitchListed(MainWindow& window) {
    const Resolved resolved = Resolve(window);
    if (resolved.row < 0) {
        return resolved.why;
    }
    // Each line is built on a named string: GCC 12 takes "text" + a temporary for an
    // overlapping copy.
    const std::string chosen = Row(resolved.row);
    list_.Select(resolved.row);
    window.OnSwitch();
    if (!window.Switched()) {
        // What stopped it was said as it happened.
        return "The switch to " + chosen + " did not happen.";
    }
    out_.Write("Live now: " + chosen + "\n");
    return std::nullopt;
}

Resolved CommandLineRun::Resolve(MainWindow& window) {
    const std::string& what = line_.what;
    if (what.size() <= kMaxNumberDigits &&
        std::all_of(what.begin(), what.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return ResolveNumber();
    }
    const bool isPath =
        what.find_first_of(std::string("/") + services_.files.PathSeparator()) != std::string::npos;
    if (!isPath) {
        Resolved named = ResolveName();
        if (named.row >= 0 || !named.why.empty()) {
            return named;
        }
    }
    const std::string path = host_.FullPath(what);
    if (Resolved listed = ResolvePath(path); listed.row >= 0) {
        return listed;
    }
    try {
        services_.files.FileSize(path);
    } catch (const Error& error) {
        if (!isPath) {
            return {-1, "No mod is numbered or named \"" + what + "\" (see --list)."};
        }
        return {-1, "No mod is listed at " + path + ", and it is no file (Error " +
                        std::to_string(error.Number()) + ": " + error.Text() + ")."};
    }
    // A file not listed yet is added as Add A Mod adds it, then switched to.
    chosen_.SetFileName(path);
    window.OnAdd();
    return ResolvePath(path);
}

Resolved CommandLineRun::ResolveNumber() const {
    const int number = std::stoi(line_.what);
    const int count = static_cast<int>(list_.Items().size());
    if (number < 1 || number > count) {
        return {-1, "There is no mod number " + line_.what + ": the list has " +
                        std::to_string(count) + " (see --list)."};
    }
    return {number - 1, {}};
}

Resolved CommandLineRun::ResolveName() const {
    const Files& files = services_.files;
    std::vector<int> rows;
    for (int row = 0; row < static_cast<int>(list_.Items().size()); ++row) {
        const std::string name = NameOf(list_.Item(row));
        if (files.PathsMatchIgnoringCase(name, line_.what) ||
            files.PathsMatchIgnoringCase(name, line_.what + ".zpk")) {
            rows.push_back(row);
        }
    }
    if (rows.size() == 1) {
        return {rows.front(), {}};
    }
    if (rows.empty()) {
        return {};
    }
    std::string why = "\"" + line_.what + "\" fits several mods; give its number or its path:";
    for (const int row : rows) {
        why += '\n';
        why += Row(row);
    }
    return {-1, why};
}

Resolved CommandLineRun::ResolvePath(const std::string& path) const {
    Files& files = services_.files;
    const auto file = files.IdentifyFile(path);
    for (int row = 0; row < static_cast<int>(list_.Items().size()); ++row) {
        const std::string& entry = list_.Items()[static_cast<std::size_t>(row)];
        // The file system's word first: a link or another spelling leads to the same entry.
        if ((file && file == files.IdentifyFile(entry)) ||
            files.PathsMatchIgnoringCase(entry, path)) {
            return {row, {}};
        }
    }
    return {};
}

std::string CommandLineRun::NameOf(const std::string& path) const {
    return path.substr(path.find_last_of(std::string("/") + services_.files.PathSeparator()) + 1);
}

std::string CommandLineRun::Row(int row) const {
    return std::to_string(row + 1) + "  " + list_.Item(row);
}

int CommandLineRun::Failed(const std::string& why) {
    const std::string title(settings::kAppName);
    if (line_.command.empty() || controls_.Terminal) {
        controls_.Boxes.Show(line_.command.empty() ? why : why + "\n\nThe command was not run.",
                             title);
        return kExitFailed;
    }
    // The game never starts over a failed switch unless the player says so.
    if (host_.AskYesNo(why + std::string(kStartAnyway), title)) {
        return host_.RunCommand(line_.command);
    }
    return kExitFailed;
}

}  // namespace

int RunCommandLine(const CommandLine& line, Services services, CommandLineControls controls,
                   CommandLineHost& host, Output& out) {
    return CommandLineRun(line, services, controls, host, out).Run();
}

int RunCommandLineOnTerminal(const CommandLine& line, Services services, CommandLineHost& host,
                             Output& out, Output& err, bool progressLine) {
    ConsoleBoxes boxes(err);
    ConsoleCopyWatcher copies(err, progressLine, [&host] { return host.Interrupted(); });
    return RunCommandLine(line, services, {boxes, copies, true}, host, out);
}

}  // namespace vx
