#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <thread>

#include "app/CopyWatch.h"

namespace vx {
namespace {

// What a toolkit is asked to do, in order.
struct RecordingWatch : CopyWatch {
    std::vector<std::string> asked;
    std::function<void()> whileProgressShows = [] {};
    void BeginWatch() override { asked.emplace_back("begin"); }
    void WaitQuietly(CopyJob& job, Clock::time_point until) override { Wait(job, until); }
    void WaitWithProgress(CopyJob& job, const std::string& fileName) override {
        asked.push_back("progress of " + fileName);
        whileProgressShows();
        Wait(job, Clock::time_point::max());
    }
    static void Wait(CopyJob& job, Clock::time_point until) {
        while (!job.Now().ended && Clock::now() < until) {
            std::this_thread::yield();
        }
    }
    void EndWatch(bool close) noexcept override {
        asked.emplace_back(close ? "end, close" : "end");
    }
};

void CopyUntilCancelled(CopyProgress& progress) {
    while (progress.Copied(0, 1)) {
        std::this_thread::yield();
    }
    throw CopyCancelled();
}

// A watch cut short by a failure lets go of the copy all the same.
TEST(CopyWatchTest, ALongCopyShowsItsProgressAndAClosedWindowClosesAfterIt) {
    RecordingWatch watch;
    watch.whileProgressShows = [&] { EXPECT_TRUE(watch.DeferClose()); };
    CopyJob slow(CopyUntilCancelled);
    watch.Watch(slow, "b.zpk");
    EXPECT_THROW(slow.Finish(), CopyCancelled);
    watch.whileProgressShows = [] { throw std::runtime_error("no window"); };
    CopyJob failing(CopyUntilCancelled);
    EXPECT_THROW(watch.Watch(failing, "c.zpk"), std::runtime_error);
    EXPECT_FALSE(watch.Watching());
    EXPECT_EQ(watch.asked, (std::vector<std::string>{"begin", "progress of b.zpk", "end, close",
                                                     "begin", "progress of c.zpk", "end"}));
}

}  // namespace
}  // namespace vx
