#include "platform/windows-services/CommandLineSystem.h"

#include <shellapi.h>

#include <atomic>
#include <memory>

#include "platform/windows-services/Utf.h"
#include "platform/windows-services/Win32Error.h"
#include "state/SettingsLayout.h"
#include "state/SingleInstanceNames.h"

namespace vx::windows {
namespace {

std::atomic<bool> interrupted{false};

BOOL WINAPI OnControl(DWORD event) {
    if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT) {
        interrupted = true;
        return TRUE;  // this program ends on its own, having cancelled its copy
    }
    return FALSE;
}

bool Usable(HANDLE handle) {
    return handle != nullptr && handle != INVALID_HANDLE_VALUE;
}

bool HasStandardHandles() {
    return Usable(GetStdHandle(STD_INPUT_HANDLE)) || Usable(GetStdHandle(STD_OUTPUT_HANDLE)) ||
           Usable(GetStdHandle(STD_ERROR_HANDLE));
}

bool IsConsole(HANDLE handle) {
    DWORD mode = 0;
    return Usable(handle) && GetConsoleMode(handle, &mode) != FALSE;
}

}  // namespace

CommandLineSystem::CommandLineSystem(Output& err) : err_(err) {
    interrupted = false;
    SetConsoleCtrlHandler(OnControl, TRUE);
}

CommandLineSystem::~CommandLineSystem() {
    SetConsoleCtrlHandler(OnControl, FALSE);
}

bool CommandLineSystem::TakeLock() {
    // No windows of its own to raise: a second program finds none and ends.
    instance_.emplace(std::string(instance::kMutexName), std::vector<std::wstring>{});
    if (!instance_->IsFirst()) {
        instance_.reset();
        return false;
    }
    return true;
}

std::string CommandLineSystem::FullPath(const std::string& path) {
    const std::wstring wide = ToUtf16(path);
    const DWORD size = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (size == 0) {
        return path;  // looked for as given, and reported by that name
    }
    std::wstring full(size, L'\0');
    const DWORD length = GetFullPathNameW(wide.c_str(), size, full.data(), nullptr);
    full.resize(length < size ? length : 0);
    return full.empty() ? path : ToUtf8(full);
}

bool CommandLineSystem::Interrupted() const {
    return interrupted;
}

int CommandLineSystem::RunCommand(const std::vector<std::string>& command) {
    std::wstring line = QuoteCommandLine(command);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (HasStandardHandles()) {
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
        startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
        for (const HANDLE handle : {startup.hStdInput, startup.hStdOutput, startup.hStdError}) {
            if (Usable(handle)) {
                SetHandleInformation(handle, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
            }
        }
    }
    PROCESS_INFORMATION process{};
    if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                       &process) == FALSE) {
        const std::string why = SystemMessage(GetLastError());
        err_.Write(std::string(settings::kAppName) + ": cannot run " + command.front() + ": " +
                   why + "\n");
        return kExitCannotRun;
    }
    CloseHandle(process.hThread);
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    return static_cast<int>(code);
}

std::vector<std::string> Arguments() {
    int count = 0;
    const std::unique_ptr<LPWSTR, decltype(&LocalFree)> args(
        CommandLineToArgvW(GetCommandLineW(), &count), &LocalFree);
    std::vector<std::string> utf8;
    for (int i = 1; args && i < count; ++i) {
        utf8.push_back(ToUtf8(args.get()[i]));
    }
    return utf8;
}

std::wstring QuoteCommandLine(const std::vector<std::string>& args) {
    std::wstring line;
    for (const std::string& arg : args) {
        const std::wstring wide = ToUtf16(arg);
        if (!line.empty()) {
            line += L' ';
        }
        if (!wide.empty() && wide.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
            line += wide;
            continue;
        }
        // Backslashes are plain except before a quote, where each is doubled.
        line += L'"';
        std::size_t backslashes = 0;
        for (const wchar_t c : wide) {
            if (c == L'\\') {
                ++backslashes;
                continue;
            }
            line.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
            backslashes = 0;
            line += c;
        }
        line.append(backslashes * 2, L'\\');
        line += L'"';
    }
    return line;
}

bool OnTerminal() {
    static const bool terminal = [] {
        const HANDLE given[] = {GetStdHandle(STD_INPUT_HANDLE), GetStdHandle(STD_OUTPUT_HANDLE),
                                GetStdHandle(STD_ERROR_HANDLE)};
        const bool handles = HasStandardHandles();
        // Ctrl+C reaches only the programs attached to the console it is typed in: attach to
        // the starter's console even where its output goes to a pipe or a file.
        const bool attached = AttachConsole(ATTACH_PARENT_PROCESS) != FALSE;
        if (handles) {
            // Attaching may point them at the console; the starter's redirections stand.
            SetStdHandle(STD_INPUT_HANDLE, given[0]);
            SetStdHandle(STD_OUTPUT_HANDLE, given[1]);
            SetStdHandle(STD_ERROR_HANDLE, given[2]);
            return true;
        }
        if (!attached) {
            return false;
        }
        // A program of the GUI subsystem gets no handles for the console it attaches to: these
        // serve its output and the command's.
        const HANDLE console =
            CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
        if (Usable(console)) {
            SetStdHandle(STD_OUTPUT_HANDLE, console);
            SetStdHandle(STD_ERROR_HANDLE, console);
        }
        return true;
    }();
    return terminal;
}

bool ErrorOnTerminal() {
    return IsConsole(GetStdHandle(STD_ERROR_HANDLE));
}

void StandardOutput::Write(std::string_view text) {
    const HANDLE handle = GetStdHandle(which_);
    if (!Usable(handle) || text.empty()) {
        return;
    }
    DWORD written = 0;
    if (!IsConsole(handle)) {
        WriteFile(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        return;
    }
    std::wstring wide;
    try {
        wide = ToUtf16(text);
    } catch (const Error&) {
        wide.assign(text.begin(), text.end());  // a path that is not UTF-8, say
    }
    WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
}

}  // namespace vx::windows
