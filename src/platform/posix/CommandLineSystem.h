#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/CommandLineRun.h"
#include "app/ConsoleControls.h"
#include "platform/posix/SingleInstance.h"

namespace vx::posix {

// What the command line needs of Linux: the window's single-instance lock, the working
// folder, Ctrl+C, and running the command after --. Ctrl+C is caught from construction to
// destruction; the command's start is reported on `err`.
class CommandLineSystem : public CommandLineHost {
  public:
    explicit CommandLineSystem(Output& err);
    ~CommandLineSystem() override;
    CommandLineSystem(const CommandLineSystem&) = delete;
    CommandLineSystem& operator=(const CommandLineSystem&) = delete;
    CommandLineSystem(CommandLineSystem&&) = delete;
    CommandLineSystem& operator=(CommandLineSystem&&) = delete;

    bool TakeLock() override;
    void ReleaseLock() noexcept override { instance_.reset(); }
    std::string FullPath(const std::string& path) override;
    bool Interrupted() const override;
    // The command gets the environment the launcher was given (see ChildEnvironment), the
    // signals it would have had from a shell, and SIGTERM and SIGHUP sent to this program. A
    // command killed by a signal answers 128 and its number, as a shell does.
    int RunCommand(const std::vector<std::string>& command) override;
    bool AskYesNo(const std::string& /*question*/, const std::string& /*title*/) override {
        return false;
    }

  private:
    Output& err_;
    std::optional<SingleInstance> instance_;
};

// The installed launcher starts this program without the variables that Steam sets for its
// game (its runtime's libraries, its overlay), keeping each as VEXMOOR_PATCHKEEPER_KEPT_<name>:
// answers `environment` with those put back as they were, for the command after --.
std::vector<std::string> ChildEnvironment(const std::vector<std::string>& environment);

// Standard output or error, written straight to its file descriptor.
class StandardOutput final : public Output {
  public:
    explicit StandardOutput(int descriptor) : descriptor_(descriptor) {}
    void Write(std::string_view text) override;

  private:
    int descriptor_;
};

// Whether standard input, output or error is a terminal.
bool OnTerminal();
// Whether standard error is a terminal, where a progress line may be rewritten in place.
bool ErrorOnTerminal();

}  // namespace vx::posix
