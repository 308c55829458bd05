#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QTest>

#include "platform/qt/SingleInstance.h"
#include "support/TempFolder.h"

namespace vx::test {
namespace {

TEST(SingleInstanceTest, AKilledFirstStopsNoStartAndASecondStartRaisesTheFirst) {
    TempFolder temp;
    const std::string lock = temp / "test.lock";
    const std::string socket = temp / "test.socket";
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t killed = ::fork();
    if (killed == 0) {  // a first program, killed outright: its lock file and socket stay
        qt::SingleInstance first{lock, socket};
        first.Listen([] {});
        (void)!::write(ready[1], "1", 1);
        ::pause();
    }
    char byte = 0;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);
    EXPECT_FALSE(qt::SingleInstance(lock, socket).IsFirst()) << "the child holds the lock";
    ::kill(killed, SIGKILL);
    ::waitpid(killed, nullptr, 0);
    ::close(ready[0]);
    ::close(ready[1]);

    qt::SingleInstance first{lock, socket};
    ASSERT_TRUE(first.IsFirst());
    int raised = 0;
    first.Listen([&raised] { ++raised; });
    const qt::SingleInstance second{lock, socket};  // flock: refused in the same process too
    EXPECT_FALSE(second.IsFirst());
    EXPECT_TRUE(second.AskFirstToRaise());
    EXPECT_TRUE(QTest::qWaitFor([&raised] { return raised == 1; }));
}

}  // namespace
}  // namespace vx::test
