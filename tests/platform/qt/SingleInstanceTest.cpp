#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QTest>

#include "platform/posix/TempFolder.h"
#include "platform/qt/SingleInstance.h"

namespace vx::test {
namespace {

class SingleInstanceTest : public ::testing::Test {
  protected:
    TempFolder temp;
    std::string lock = temp / "test.lock";
    QString socket = QString::fromStdString(temp / "test.socket");
};

TEST_F(SingleInstanceTest, ASecondStartIsRefusedAndRaisesTheFirst) {
    qt::SingleInstance first{lock, socket};
    ASSERT_TRUE(first.IsFirst());
    int raised = 0;
    first.Listen([&raised] { ++raised; });

    const qt::SingleInstance second{lock, socket};
    EXPECT_FALSE(second.IsFirst());
    EXPECT_TRUE(second.AskFirstToRaise());
    EXPECT_TRUE(QTest::qWaitFor([&raised] { return raised == 1; }));
}

// A program killed outright leaves its lock file and its socket behind, and no listener.
TEST_F(SingleInstanceTest, AStartAfterTheFirstWasKilledIsFirst) {
    int taken[2];
    ASSERT_EQ(::pipe(taken), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        qt::SingleInstance killed{lock, socket};
        killed.Listen([] {});
        const char ready = killed.IsFirst() ? '1' : '0';
        (void)!::write(taken[1], &ready, 1);
        ::pause();
    }
    char ready = 0;
    ASSERT_EQ(::read(taken[0], &ready, 1), 1);
    EXPECT_EQ(ready, '1');
    EXPECT_FALSE(qt::SingleInstance(lock, socket).IsFirst()) << "the child holds it";
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    ::close(taken[0]);
    ::close(taken[1]);

    qt::SingleInstance next{lock, socket};
    EXPECT_TRUE(next.IsFirst());
    next.Listen([] {});
    EXPECT_TRUE(qt::SingleInstance(lock, socket).AskFirstToRaise()) << "listens on the socket";
}

}  // namespace
}  // namespace vx::test
