// The Linux program run as a player runs it from a terminal or from Steam's launch options:
// real files, a real settings file, no display.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "platform/posix/SingleInstance.h"
#include "support/TempFolder.h"

namespace vx::test {
namespace {

struct Result {
    int status = -1;
    std::string out;
    std::string err;
};

// Sends Ctrl+C's signal to `pid` once its copy runs, on a thread of its own.
void InterruptTheCopy(pid_t pid) {
    const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    for (int wait = 0; wait < 2000; ++wait) {
        const auto threads = std::distance(std::filesystem::directory_iterator(tasks),
                                           std::filesystem::directory_iterator());
        if (threads > 1) {
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    kill(pid, SIGINT);
}

class CommandLineProgramTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::filesystem::create_directories(folder_.Path() / "game/mods");
        std::filesystem::create_directories(folder_.Path() / "a");
        std::filesystem::create_directories(folder_.Path() / "b");
        WriteFile(live_, std::string(4000, 'L'));
        WriteFile(folder_ / "game/mods/NORMAL_patch_vx.zpk", std::string(4000, 'L'));
        WriteFile(folder_ / "a/Shiny Water.zpk", std::string(3000, 'S'));
        WriteFile(folder_ / "a/Night Sky.zpk", std::string(3100, 'N'));
        WriteFile(folder_ / "b/Night Sky.zpk", std::string(3200, 'n'));
        std::filesystem::create_symlink(folder_.Path() / "b/Night Sky.zpk",
                                        folder_.Path() / "link.zpk");
        std::filesystem::create_directories(folder_.Path() / "config/Vexmoor Patchkeeper");
        std::filesystem::create_directory(folder_.Path() / "run");
        std::filesystem::permissions(folder_.Path() / "run", std::filesystem::perms::owner_all);
        WriteFile(folder_ / "config/Vexmoor Patchkeeper/settings.ini",
                  "[settings]\nvxpath=" + folder_ / "game" +
                      "\nmods=4\n[mods]\n1=" + folder_ / "game/mods/NORMAL_patch_vx.zpk" + "\n2=" +
                      folder_ / "a/Shiny Water.zpk" + "\n3=" + folder_ / "a/Night Sky.zpk" +
                      "\n4=" + folder_ / "b/Night Sky.zpk" + "\n");
    }

    // Starts the program (or `program`) with `args` and the test's settings and runtime
    // folder, no display, no terminal; waits, unless `started` takes the process over.
    Result Run(
        std::vector<std::string> args, std::vector<std::string> environment = {},
        const std::string& program = VX_PROGRAM,
        const std::function<void(pid_t)>& started = [](pid_t) {}) {
        args.insert(args.begin(), program);
        environment.push_back("PATH=/usr/bin:/bin");
        environment.push_back("XDG_CONFIG_HOME=" + folder_ / "config");
        environment.push_back("XDG_RUNTIME_DIR=" + folder_ / "run");
        std::vector<char*> argv;
        for (std::string& arg : args) {
            argv.push_back(arg.data());
        }
        argv.push_back(nullptr);
        std::vector<char*> envp;
        for (std::string& variable : environment) {
            envp.push_back(variable.data());
        }
        envp.push_back(nullptr);
        const std::string out = folder_ / "out.txt";
        const std::string err = folder_ / "err.txt";
        posix_spawn_file_actions_t actions{};
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
        posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
        posix_spawn_file_actions_addchdir_np(&actions, folder_.Utf8().c_str());
        pid_t pid = 0;
        EXPECT_EQ(posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()), 0);
        posix_spawn_file_actions_destroy(&actions);
        started(pid);
        int status = 0;
        EXPECT_EQ(waitpid(pid, &status, 0), pid);
        return {WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status), ReadFile(out),
                ReadFile(err)};
    }

    std::string Live() const { return ReadFile(live_); }

    TempFolder folder_;
    std::string live_ = folder_ / "game/patch_vx.zpk";
};

TEST_F(CommandLineProgramTest, ListsTheEntriesNumberedWithTheLiveOneMarked) {
    const Result result = Run({"--list"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "* 1  " + folder_ / "game/mods/NORMAL_patch_vx.zpk" + "\n  2  " +
                              folder_ / "a/Shiny Water.zpk" + "\n  3  " +
                              folder_ / "a/Night Sky.zpk" + "\n  4  " +
                              folder_ / "b/Night Sky.zpk" + "\n");
    EXPECT_EQ(result.err, "");
}

TEST_F(CommandLineProgramTest, SwitchesByNumberNameOrPathAndAddsAPathNotListed) {
    WriteFile(folder_ / "New.zpk", std::string(3300, 'W'));
    struct Case {
        std::string what;
        std::string mod;  // whose bytes are then live
    };
    const std::vector<Case> cases = {
        {"3", "a/Night Sky.zpk"},
        {"shiny WATER", "a/Shiny Water.zpk"},
        {"Night Sky.zpk", ""},  // two entries have that name: refused, nothing changes
        {"link.zpk", "b/Night Sky.zpk"},
        {"./New.zpk", "New.zpk"},
        {"Dawn", ""},  // no such entry or file
        {"9", ""},
        {"5", "New.zpk"},  // the file just added
    };
    for (const Case& c : cases) {
        const std::string before = Live();
        const Result result = Run({"--switch", c.what});
        if (c.mod.empty()) {
            EXPECT_EQ(result.status, 1) << c.what;
            EXPECT_EQ(Live(), before) << c.what;
            EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
        } else {
            EXPECT_EQ(result.status, 0) << c.what << ": " << result.err;
            EXPECT_EQ(Live(), ReadFile(folder_ / c.mod)) << c.what;
        }
    }
    const Result ambiguous = Run({"--switch", "night sky"});
    EXPECT_NE(ambiguous.err.find("3  " + folder_ / "a/Night Sky.zpk"), std::string::npos);
    EXPECT_NE(ambiguous.err.find("4  " + folder_ / "b/Night Sky.zpk"), std::string::npos);
}

TEST_F(CommandLineProgramTest, RunsTheCommandOnlyAfterASwitchAndEndsWithItsStatus) {
    const std::string check = "cmp -s game/patch_vx.zpk 'a/Shiny Water.zpk' && exit 42";
    EXPECT_EQ(Run({"--switch", "2", "--", "sh", "-c", check}).status, 42);

    const Result refused = Run({"--switch", "Dawn", "--", "sh", "-c", "touch ran"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_FALSE(std::filesystem::exists(folder_.Path() / "ran")) << refused.err;

    EXPECT_EQ(Run({"--switch", "1", "--", "no-such-command-here"}).status, 127);
}

TEST_F(CommandLineProgramTest, RefusesWhileTheWindowHoldsTheLock) {
    const posix::SingleInstance window(folder_ / "run");
    ASSERT_TRUE(window.IsFirst());
    const Result result = Run({"--switch", "2"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(Live(), std::string(4000, 'L'));
    EXPECT_NE(result.err.find("Close its window"), std::string::npos) << result.err;
}

TEST_F(CommandLineProgramTest, CtrlCDuringTheCopyLeavesTheLiveArchiveAsItWas) {
    // Long to copy, cheap to make: the copy writes every zero of it.
    const std::string big = folder_ / "big.zpk";
    ASSERT_TRUE(WriteFile(big, ""));
    std::filesystem::resize_file(big, std::uintmax_t{2} << 30);
    const Result result =
        Run({"--switch", big, "--", "sh", "-c", "touch ran"}, {}, VX_PROGRAM, InterruptTheCopy);
    if (result.status == 0) {
        GTEST_SKIP() << "the copy ended before Ctrl+C reached it (a file system that clones)";
    }
    EXPECT_EQ(result.status, 130) << result.err;
    ASSERT_EQ(std::filesystem::file_size(live_), 4000U) << "the big archive went live";
    EXPECT_EQ(Live(), std::string(4000, 'L'));
    EXPECT_FALSE(std::filesystem::exists(folder_.Path() / "ran"));
    EXPECT_TRUE(Leftovers(folder_ / "game").empty());
}

// Steam's launch options run with its runtime's libraries first and its overlay preloaded;
// the installed launcher starts the program without them and the game gets them back.
TEST_F(CommandLineProgramTest, StartsInSteamsEnvironmentAndHandsItToTheCommand) {
    std::filesystem::create_directory(folder_.Path() / "runtime");
    WriteFile(folder_ / "runtime/libstdc++.so.6", "not a library");
    WriteFile(folder_ / "runtime/libQt6Core.so.6", "not a library");
    const std::vector<std::string> steam = {"LD_LIBRARY_PATH=" + folder_ / "runtime",
                                            "LD_PRELOAD=/nowhere/gameoverlayrenderer.so"};
    EXPECT_EQ(Run({"--version"}, steam).status, 127) << "the program alone cannot start there";

    const Result result =
        Run({"--switch", "2", "--", "sh", "-c",
             "echo \"$LD_LIBRARY_PATH|$LD_PRELOAD|$VEXMOOR_PATCHKEEPER_KEPT_LD_PRELOAD\""},
            steam, VX_LAUNCHER);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(Live(), std::string(3000, 'S'));
    EXPECT_NE(result.out.find(folder_ / "runtime" + "|/nowhere/gameoverlayrenderer.so|\n"),
              std::string::npos)
        << result.out;
}

TEST_F(CommandLineProgramTest, SaysWhatToDoWithoutAGameFolderOrADisplay) {
    WriteFile(folder_ / "config/Vexmoor Patchkeeper/settings.ini", "");
    const Result noFolder = Run({"--switch", "2"});
    EXPECT_EQ(noFolder.status, 1);
    EXPECT_NE(noFolder.err.find("Start Patchkeeper once"), std::string::npos) << noFolder.err;
    EXPECT_EQ(Run({}).status, 1) << "no display for the window";
    EXPECT_EQ(Run({"--bogus"}).status, 2);
    EXPECT_EQ(Run({"--version"}).out, "Vexmoor Patchkeeper " VX_VERSION "\n");
}

}  // namespace
}  // namespace vx::test
