// Does one thing the program does, so that the kill test can kill it part-way:
//
//   vx_kill_driver switch <config home> <list item> [die-at]   one start, then Switch To
//   vx_kill_driver start <config home> [die-at]                one start (the first-run backup)
//   vx_kill_driver save <config home> <entry> <rounds> [die-at]  settings saves, one a round
//
// die-at names a step of the atomic write (copy, write, flush, rename): the driver kills
// itself as that step begins, for the moments that a kill from outside rarely hits.

#include <signal.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "KillProtocol.h"
#include "Session.h"
#include "platform/posix/PosixPlatform.h"
#include "state/Error.h"
#include "state/ModRegistry.h"

namespace {

using namespace vx;

void Say(std::string_view what, const std::string& detail = {}) {
    const std::string line = std::string(what) + detail + "\n";
    // One write per line: a kill cannot leave half a line that reads as a whole one.
    [[maybe_unused]] const ssize_t ignored = ::write(STDOUT_FILENO, line.data(), line.size());
}

class DyingSteps : public posix::FileSteps {
  public:
    explicit DyingSteps(std::string dieAt) : dieAt_(std::move(dieAt)) {}

    void Copy(int from, int to, std::int64_t size, const std::string& path) override {
        DieIf("copy");
        FileSteps::Copy(from, to, size, path);
    }
    void Write(int to, const char* data, std::size_t size, const std::string& path) override {
        DieIf("write");
        FileSteps::Write(to, data, size, path);
    }
    void Flush(int fd, const std::string& path) override {
        DieIf("flush");
        FileSteps::Flush(fd, path);
    }
    void Rename(int folder, const std::string& from, const std::string& to,
                bool keepExisting) override {
        DieIf("rename");
        FileSteps::Rename(folder, from, to, keepExisting);
    }

  private:
    void DieIf(std::string_view step) const {
        if (dieAt_ == step) {
            ::kill(::getpid(), SIGKILL);
        }
    }
    std::string dieAt_;
};

int Run(const std::vector<std::string>& args) {
    const std::string& mode = args.at(1);
    const std::size_t fixedArgs = mode == "switch" ? 4 : mode == "save" ? 5 : 3;
    DyingSteps steps(args.size() > fixedArgs ? args[fixedArgs] : std::string());
    posix::PosixPlatform platform(args.at(2), steps);

    if (mode == "switch") {
        test::Session session(platform);
        session.Start();
        Say(test::kill::kReady);
        session.Switch(std::stoi(args.at(3)));
    } else if (mode == "start") {
        test::Session session(platform);
        Say(test::kill::kReady);
        session.Start();
    } else if (mode == "save") {
        ModRegistry registry(platform);
        const int entry = std::stoi(args.at(3));
        const int rounds = std::stoi(args.at(4));
        Say(test::kill::kReady);
        for (int round = 1; round <= rounds; ++round) {
            registry.WriteEntry(entry, test::kill::SaveValue(round));
            Say(test::kill::kSaved, std::to_string(round));
        }
    } else {
        return 64;
    }
    Say(test::kill::kDone);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv, argv + argc);
    if (args.size() < 3) {
        return 64;
    }
    try {
        return Run(args);
    } catch (const vx::Error& error) {
        Say(vx::test::kill::kFailed, error.what());
        return 2;
    }
}
