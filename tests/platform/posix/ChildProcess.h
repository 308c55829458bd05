#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

extern char** environ;

namespace vx::test {

// A program started with its standard output on a pipe, read line by line; killed and
// reaped when the object goes, if it has not ended by then.
class ChildProcess {
  public:
    explicit ChildProcess(const std::vector<std::string>& args) {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0) {
            throw std::runtime_error("pipe2 failed");
        }
        posix_spawn_file_actions_t actions;
        ::posix_spawn_file_actions_init(&actions);
        ::posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
        std::vector<char*> argv;
        for (const auto& arg : args) {
            argv.push_back(const_cast<char*>(arg.c_str()));
        }
        argv.push_back(nullptr);
        const int failed = ::posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
        ::posix_spawn_file_actions_destroy(&actions);
        ::close(fds[1]);
        output_ = fds[0];
        if (failed != 0) {
            ::close(output_);
            throw std::runtime_error("cannot start " + args[0]);
        }
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ~ChildProcess() {
        if (!reaped_) {
            Kill();
        }
        ::close(output_);
    }

    // Reads until a line equal to `line` arrives: false when the program ends or `timeout`
    // passes first.
    bool WaitForLine(std::string_view line, std::chrono::milliseconds timeout) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        for (;;) {
            if (HasLine(line)) {
                return true;
            }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0 || !ReadSome(static_cast<int>(left.count()))) {
                return HasLine(line);
            }
        }
    }

    // SIGKILL, then reaps; harmless when the program has already ended.
    int Kill() {
        ::kill(pid_, SIGKILL);
        return Reap();
    }

    // Waits for the end, killing the program if `timeout` passes first.
    int Wait(std::chrono::milliseconds timeout) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (std::chrono::steady_clock::now() < deadline) {
            int status = 0;
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                reaped_ = true;
                status_ = status;
                DrainOutput();
                return status_;
            }
            ReadSome(10);
        }
        return Kill();
    }

    // Everything the program wrote; complete once it has been reaped.
    const std::string& Output() const { return text_; }

    static bool Killed(int status) { return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL; }
    static bool Succeeded(int status) { return WIFEXITED(status) && WEXITSTATUS(status) == 0; }

  private:
    bool HasLine(std::string_view line) const {
        return text_.starts_with(std::string(line) + "\n") ||
               text_.find("\n" + std::string(line) + "\n") != std::string::npos;
    }
    // False at the end of the output or when nothing came within `timeoutMs`.
    bool ReadSome(int timeoutMs) {
        pollfd waiting{output_, POLLIN, 0};
        if (::poll(&waiting, 1, timeoutMs) <= 0) {
            return false;
        }
        char buffer[4096];
        const ssize_t n = ::read(output_, buffer, sizeof buffer);
        if (n <= 0) {
            return false;
        }
        text_.append(buffer, static_cast<std::size_t>(n));
        return true;
    }
    void DrainOutput() {
        while (ReadSome(0)) {
        }
    }
    int Reap() {
        if (!reaped_) {
            ::waitpid(pid_, &status_, 0);
            reaped_ = true;
            DrainOutput();
        }
        return status_;
    }

    pid_t pid_ = -1;
    int output_ = -1;
    bool reaped_ = false;
    int status_ = 0;
    std::string text_;
};

// Runs `work` in a forked copy of this process and answers the text it returns; the copy
// may set limits on itself without touching the test. A copy that does not answer within
// `timeout` is killed, and the answer says so.
inline std::string RunInChild(const std::function<std::string()>& work,
                              std::chrono::seconds timeout = std::chrono::seconds(30)) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        throw std::runtime_error("pipe2 failed");
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        std::string answer;
        try {
            answer = work();
        } catch (const std::exception& e) {
            answer = std::string("exception: ") + e.what();
        }
        const char* data = answer.data();
        std::size_t left = answer.size();
        while (left > 0) {
            const ssize_t n = ::write(fds[1], data, left);
            if (n <= 0) {
                break;
            }
            data += n;
            left -= static_cast<std::size_t>(n);
        }
        ::_exit(0);
    }
    ::close(fds[1]);
    std::string answer;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    bool timedOut = false;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd waiting{fds[0], POLLIN, 0};
        if (left.count() <= 0 || ::poll(&waiting, 1, static_cast<int>(left.count())) <= 0) {
            timedOut = true;
            break;
        }
        char buffer[4096];
        const ssize_t n = ::read(fds[0], buffer, sizeof buffer);
        if (n <= 0) {
            break;
        }
        answer.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fds[0]);
    if (timedOut) {
        ::kill(pid, SIGKILL);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return timedOut ? "timed out after " + std::to_string(timeout.count()) + " s" : answer;
}

}  // namespace vx::test
