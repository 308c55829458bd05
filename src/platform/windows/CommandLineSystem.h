#pragma once

#include <windows.h>

#include <optional>
#include <ostream>
#include <streambuf>
#include <string>
#include <vector>

#include "app/CommandLineRun.h"
#include "platform/windows/SingleInstance.h"

namespace vx::windows {

// What the command line needs of Windows: the window's single-instance mutex, the working
// folder, Ctrl+C, and running the command after --. Ctrl+C is caught from construction to
// destruction; the command's start is reported on `err`.
class CommandLineSystem : public CommandLineHost {
  public:
    explicit CommandLineSystem(std::ostream& err);
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
    std::ostream& err_;
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

// Writes UTF-8 text to a standard handle: to a console as its characters, to a pipe or a
// file as the bytes. Nothing is written where there is no such handle.
class HandleBuffer final : public std::streambuf {
  public:
    explicit HandleBuffer(DWORD which);
    ~HandleBuffer() override;
    HandleBuffer(const HandleBuffer&) = delete;
    HandleBuffer& operator=(const HandleBuffer&) = delete;
    HandleBuffer(HandleBuffer&&) = delete;
    HandleBuffer& operator=(HandleBuffer&&) = delete;

  private:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* text, std::streamsize count) override;
    int sync() override;

    HANDLE handle_;
    std::string pending_;  // what is not yet written: a console takes whole characters
};

}  // namespace vx::windows
