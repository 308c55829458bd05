#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/CommandLineRun.h"
#include "app/ConsoleControls.h"
#include "platform/windows-services/SingleInstance.h"

namespace vx::windows {

// What the command line needs of Windows: the window's single-instance mutex, the working
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
    // The command gets this program's standard handles and environment; its exit code comes
    // back as it is.
    int RunCommand(const std::vector<std::string>& command) override;
    bool AskYesNo(const std::string& /*question*/, const std::string& /*title*/) override {
        return false;
    }

  private:
    Output& err_;
    std::optional<SingleInstance> instance_;
};

// The program's arguments after its name, as UTF-8.
std::vector<std::string> Arguments();

// `args` as one command line that the C runtime and CommandLineToArgvW split back into them.
std::wstring QuoteCommandLine(const std::vector<std::string>& args);

// Whether the program was given standard handles (a console, a pipe or a file), or could
// attach to the console of the program that started it (cmd, PowerShell). Started by
// Explorer, Steam or a shortcut it has neither. Asked once; later calls answer the same.
bool OnTerminal();
// Whether standard error is a console, where a progress line may be rewritten in place.
bool ErrorOnTerminal();

// Standard output or error: UTF-8 text written to a console as its characters, to a pipe or a
// file as the bytes; nothing where the program has no such handle.
class StandardOutput final : public Output {
  public:
    explicit StandardOutput(DWORD which) : which_(which) {}
    void Write(std::string_view text) override;

  private:
    DWORD which_;  // looked up at each write: attaching to a console sets it
};

}  // namespace vx::windows
