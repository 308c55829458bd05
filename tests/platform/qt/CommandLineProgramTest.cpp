// The Linux program run as a player runs it from a terminal or from Steam's launch options:
// real files, a real settings file, no display.
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <regex>
#include <string>
#include <utility>
#include <vector>

#include "platform/posix/SingleInstance.h"
#include "support/TempFolder.h"

namespace vx::test {
namespace {

struct Result {
    int status = -1;
    std::string out, err;
};

// `text` as one word for the shell.
std::string Quoted(const std::string& text) {
    return "'" + std::regex_replace(text, std::regex("'"), "'\\''") + "'";
}

class CommandLineProgramTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* made :
             {"game/mods", "a", "b", "runtime", "config/Vexmoor Patchkeeper", "run"}) {
            std::filesystem::create_directories(folder_.Path() / made);
        }
        WriteFile(live_, std::string(4000, 'L'));
        WriteFile(folder_ / "game/mods/NORMAL_patch_vx.zpk", std::string(4000, 'L'));
        WriteFile(folder_ / "a/Shiny Water.zpk", std::string(3000, 'S'));
        WriteFile(folder_ / "a/Night Sky.zpk", std::string(3100, 'N'));
        WriteFile(folder_ / "b/Night Sky.zpk", std::string(3200, 'n'));
        std::filesystem::create_symlink(folder_.Path() / "b/Night Sky.zpk",
                                        folder_.Path() / "link.zpk");
        std::filesystem::permissions(folder_.Path() / "run", std::filesystem::perms::owner_all);
        WriteFile(folder_ / "config/Vexmoor Patchkeeper/settings.ini",
                  "[settings]\nvxpath=" + folder_ / "game" +
                      "\nmods=4\n[mods]\n1=" + folder_ / "game/mods/NORMAL_patch_vx.zpk" + "\n2=" +
                      folder_ / "a/Shiny Water.zpk" + "\n3=" + folder_ / "a/Night Sky.zpk" +
                      "\n4=" + folder_ / "b/Night Sky.zpk" + "\n");
    }

    // Runs the program (or `program`) with `args` through the shell, with the test's settings and
    // runtime folder and `environment` only, no display, no terminal; `then` follows it in the
    // shell, to act on it while it runs.
    Result Run(const std::vector<std::string>& args, const std::string& environment = "",
               const std::string& program = VX_PROGRAM, const std::string& then = "") {
        std::string line = "cd " + Quoted(folder_.Utf8()) +
                           " || exit 99; env -i PATH=/usr/bin:/bin" +
                           " XDG_CONFIG_HOME=" + Quoted(folder_ / "config") +
                           " XDG_RUNTIME_DIR=" + Quoted(folder_ / "run") + " " + environment + " " +
                           Quoted(program);
        for (const std::string& arg : args) {
            line += " " + Quoted(arg);
        }
        const int status = std::system((line + " </dev/null >out.txt 2>err.txt" + then).c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status),
                ReadFile(folder_ / "out.txt"), ReadFile(folder_ / "err.txt")};
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
}

TEST_F(CommandLineProgramTest, SwitchesByNumberNameOrPathAndAddsAPathNotListed) {
    WriteFile(folder_ / "New.zpk", std::string(3300, 'W'));
    // What names the archive, and the file whose bytes are then live.
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"3", "a/Night Sky.zpk"},
        {"shiny WATER", "a/Shiny Water.zpk"},
        {"Night Sky.zpk", ""},  // two entries have that name: refused, nothing changes
        {"link.zpk", "b/Night Sky.zpk"},
        {"./New.zpk", "New.zpk"},
        {"Dawn", ""},  // no such entry or file
        {"9", ""},
        {"5", "New.zpk"},  // the file just added
    };
    for (const auto& [what, mod] : cases) {
        const std::string before = Live();
        const Result result = Run({"--switch", what});
        if (mod.empty()) {
            EXPECT_EQ(result.status, 1) << what;
            EXPECT_EQ(Live(), before) << what;
            EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
        } else {
            EXPECT_EQ(result.status, 0) << what << ": " << result.err;
            EXPECT_EQ(Live(), ReadFile(folder_ / mod)) << what;
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
    // Ctrl+C's signal once the copy runs on a thread of its own.
    const Result result = Run({"--switch", big, "--", "sh", "-c", "touch ran"}, "", VX_PROGRAM,
                              " & p=$!; for i in $(seq 2000); do"
                              " [ $(ls /proc/$p/task | wc -l) -gt 1 ] && break; sleep 0.005; done;"
                              " kill -INT $p; wait $p");
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
    WriteFile(folder_ / "runtime/libstdc++.so.6", "not a library");
    const std::string steam = "LD_LIBRARY_PATH=" + Quoted(folder_ / "runtime") +
                              " LD_PRELOAD=/nowhere/gameoverlayrenderer.so";
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

TEST_F(CommandLineProgramTest, SaysWhatToDoWithoutAGameFolderOrOnBadUsage) {
    WriteFile(folder_ / "config/Vexmoor Patchkeeper/settings.ini", "");
    const Result noFolder = Run({"--switch", "2"});
    EXPECT_EQ(noFolder.status, 1);
    EXPECT_NE(noFolder.err.find("Start Patchkeeper once"), std::string::npos) << noFolder.err;
    EXPECT_EQ(Run({"--bogus"}).status, 2);
}

}  // namespace
}  // namespace vx::test
