#include "platform/posix/CommandLineSystem.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <string_view>

#include "state/SettingsLayout.h"

extern char** environ;  // NOLINT(readability-redundant-declaration): unistd.h declares it only for
                        // _GNU_SOURCE

namespace vx::posix {
namespace {

constexpr std::string_view kKept = "VEXMOOR_PATCHKEEPER_KEPT_";

std::atomic<bool> interrupted{false};
std::atomic<pid_t> runningChild{0};

struct sigaction previousInterrupt {};

extern "C" void OnInterrupt(int /*signal*/) {
    interrupted = true;
}

extern "C" void PassOn(int signal) {
    if (const pid_t child = runningChild; child > 0) {
        ::kill(child, signal);
    }
}

struct sigaction Catch(int signal, void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    // Reads and writes of the copy go on; the wait for it polls the flag.
    action.sa_flags = SA_RESTART;
    struct sigaction previous {};
    ::sigaction(signal, &action, &previous);
    return previous;
}

// A signal's handling as it was, for the scope.
class PassedOn {
  public:
    explicit PassedOn(int signal) : signal_(signal), previous_(Catch(signal, PassOn)) {}
    ~PassedOn() { ::sigaction(signal_, &previous_, nullptr); }
    PassedOn(const PassedOn&) = delete;
    PassedOn& operator=(const PassedOn&) = delete;
    PassedOn(PassedOn&&) = delete;
    PassedOn& operator=(PassedOn&&) = delete;

  private:
    int signal_;
    struct sigaction previous_;
};

std::vector<char*> Pointers(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    pointers.reserve(texts.size() + 1);
    for (std::string& text : texts) {
        pointers.push_back(text.data());
    }
    pointers.push_back(nullptr);
    return pointers;
}

}  // namespace

CommandLineSystem::CommandLineSystem(Output& err) : err_(err) {
    interrupted = false;
    previousInterrupt = Catch(SIGINT, OnInterrupt);
}

CommandLineSystem::~CommandLineSystem() {
    ::sigaction(SIGINT, &previousInterrupt, nullptr);
}

bool CommandLineSystem::TakeLock() {
    instance_.emplace(SingleInstance::RuntimeFolder());
    // As for the window: a guard that cannot be set up keeps nobody from switching.
    if (!instance_->Failure().empty()) {
        err_.Write(std::string(settings::kAppName) + ": cannot make sure only one copy runs: " +
                   instance_->Failure() + "; going on anyway\n");
    }
    if (!instance_->IsFirst()) {
        instance_.reset();
        return false;
    }
    return true;
}

std::string CommandLineSystem::FullPath(const std::string& path) {
    if (path.starts_with('/')) {
        return path;
    }
    std::string folder(4096, '\0');
    while (::getcwd(folder.data(), folder.size()) == nullptr) {
        if (errno != ERANGE) {
            return path;  // the file is looked for as given, and reported by that name
        }
        folder.resize(folder.size() * 2);
    }
    folder.resize(std::strlen(folder.c_str()));
    return folder + (folder.ends_with('/') ? "" : "/") + path;
}

bool CommandLineSystem::Interrupted() const {
    return interrupted;
}

std::vector<std::string> ChildEnvironment(const std::vector<std::string>& environment) {
    std::vector<std::string> kept;
    std::vector<std::string> others;
    for (const std::string& variable : environment) {
        (variable.starts_with(kKept) ? kept : others).push_back(variable);
    }
    std::vector<std::string> child;
    for (const std::string& variable : others) {
        const std::string name = variable.substr(0, variable.find('=') + 1);
        const bool putBack = std::any_of(kept.begin(), kept.end(), [&](const std::string& k) {
            return std::string_view(k).substr(kKept.size()).starts_with(name);
        });
        if (!putBack) {
            child.push_back(variable);
        }
    }
    for (const std::string& variable : kept) {
        child.push_back(variable.substr(kKept.size()));
    }
    return child;
}

int CommandLineSystem::RunCommand(const std::vector<std::string>& command) {
    std::vector<std::string> arguments = command;
    std::vector<std::string> environment;
    for (char** variable = environ; *variable != nullptr; ++variable) {
        environment.emplace_back(*variable);
    }
    environment = ChildEnvironment(environment);
    const std::vector<char*> argv = Pointers(arguments);
    const std::vector<char*> envp = Pointers(environment);

    // The command starts as from a shell: no signal blocked, each handled its own way.
    posix_spawnattr_t attributes{};
    posix_spawnattr_init(&attributes);
    sigset_t none{};
    sigemptyset(&none);
    sigset_t defaults{};
    sigemptyset(&defaults);
    for (const int signal : {SIGINT, SIGQUIT, SIGTERM, SIGHUP, SIGPIPE}) {
        sigaddset(&defaults, signal);
    }
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    pid_t child = 0;
    const int failure =
        ::posix_spawnp(&child, argv[0], nullptr, &attributes, argv.data(), envp.data());
    posix_spawnattr_destroy(&attributes);
    if (failure != 0) {
        err_.Write(std::string(settings::kAppName) + ": cannot run " + command.front() + ": " +
                   std::strerror(failure) + "\n");
        return kExitCannotRun;
    }

    // Ctrl+C reaches the command from the terminal itself; this program waits for it to end.
    runningChild = child;
    int status = 0;
    {
        const PassedOn terminate(SIGTERM);
        const PassedOn hangUp(SIGHUP);
        while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
        }
    }
    runningChild = 0;
    if (WIFSIGNALED(status)) {
        return 128 + WTERMSIG(status);
    }
    return WEXITSTATUS(status);
}

void StandardOutput::Write(std::string_view text) {
    while (!text.empty()) {
        const ssize_t written = ::write(descriptor_, text.data(), text.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return;  // nobody reads it: nothing else to be done
        }
        text.remove_prefix(static_cast<std::size_t>(written));
    }
}

bool OnTerminal() {
    return ::isatty(STDIN_FILENO) != 0 || ::isatty(STDOUT_FILENO) != 0 || ErrorOnTerminal();
}

bool ErrorOnTerminal() {
    return ::isatty(STDERR_FILENO) != 0;
}

}  // namespace vx::posix
