#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include "platform/posix/SingleInstance.h"
#include "state/SingleInstanceNames.h"
#include "support/TempFolder.h"

namespace vx::test {
namespace {

// flock: a second start is refused in the same process too, so it stands for another one.
TEST(SingleInstanceTest, AKilledFirstStopsNoStartAndASecondStartRaisesTheFirst) {
    TempFolder temp;
    const std::string folder = temp / "run";  // made, for this user only
    if (::fork() == 0) {  // a first program, killed outright: its lock file and socket stay
        posix::SingleInstance first{folder};
        first.Listen();
        ::raise(SIGKILL);
    }
    ::wait(nullptr);
    posix::SingleInstance first{folder};
    ASSERT_EQ(first.Failure(), "");
    ASSERT_GE(first.Listen(), 0);
    const posix::SingleInstance second{folder};
    EXPECT_FALSE(second.IsFirst());
    EXPECT_TRUE(second.AskFirstToRaise());
    int raised = 0;
    first.AnswerAsking([&raised] { ++raised; });
    EXPECT_EQ(raised, 1);
}

// The guard's folder: its mode, whether another user owns it, whether the guard
// is given a link to it, and whether a folder stands where the lock file
// belongs.
struct Folder {
    mode_t mode;
    bool another;
    bool link;
    bool lockAFolder;
};
class UnguardedTest : public ::testing::TestWithParam<Folder> {};

// A folder another user made or may use, or a lock that cannot be had, leaves
// the program running unguarded, saying why, and removing no socket: it cannot
// know who made one.
TEST_P(UnguardedTest, AFolderNotTheUsersOwnOrALockNotHadLeavesTheProgramUnguarded) {
    const auto [mode, another, link, lockAFolder] = GetParam();
    TempFolder temp;
    const std::string real = temp / "real";
    const std::string socket = real + "/" + std::string(instance::kSocketFile);
    std::filesystem::create_directories(temp.Path() / "real" /
                                        (lockAFolder ? instance::kLockFile : ""));
    std::filesystem::create_directory_symlink(real, temp / "link");
    WriteFile(socket, "a running program's");
    ::chmod(real.c_str(), mode);
    if (another && ::chown(real.c_str(), 65534, 65534) != 0) {
        GTEST_SKIP() << "a folder of another user cannot be made without root";
    }
    posix::SingleInstance guard{temp / (link ? "link" : "real")};
    EXPECT_TRUE(guard.IsFirst());
    EXPECT_NE(guard.Failure(), "");
    EXPECT_EQ(guard.Listen(), -1);
    EXPECT_EQ(ReadFile(socket), "a running program's");
}

INSTANTIATE_TEST_SUITE_P(Folders, UnguardedTest,
                         ::testing::Values(Folder{0700, true, false, false},   // another's
                                           Folder{0777, false, false, false},  // open to all
                                           Folder{0700, false, true, false},   // a link
                                           Folder{0700, false, false, true}));
}  // namespace
}  // namespace vx::test
