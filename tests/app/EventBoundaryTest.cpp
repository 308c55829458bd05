#include "app/EventBoundary.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

#include "fakes/FakeControls.h"
#include "state/Error.h"

namespace vx::test {
namespace {

struct BoundaryCase {
    const char* name;
    std::function<void()> handler;
    const char* shown;  // nullptr: no box
};

class RunEventTest : public ::testing::TestWithParam<BoundaryCase> {};

TEST_P(RunEventTest, EndsEveryFailureInOneBox) {
    FakeMessageBoxes boxes;
    RunEvent(boxes, GetParam().handler);
    if (GetParam().shown == nullptr) {
        EXPECT_TRUE(boxes.shown.empty());
        return;
    }
    ASSERT_EQ(boxes.shown.size(), 1U);
    EXPECT_EQ(boxes.shown[0].first, GetParam().shown);
    EXPECT_EQ(boxes.shown[0].second, "Vexmoor Patchkeeper");
}

INSTANTIATE_TEST_SUITE_P(
    Failures, RunEventTest,
    ::testing::Values(BoundaryCase{"None", [] {}, nullptr},
                      BoundaryCase{"VxError",
                                   [] { throw Error(5, "Access is denied.", "C:\\game"); },
                                   "Error 5: Access is denied.\n\nC:\\game"},
                      BoundaryCase{"StdException", [] { throw std::length_error("too long"); },
                                   "Error 0: too long"},
                      BoundaryCase{"Anything", [] { throw 42; },
                                   "Error 0: An unexpected failure ended the command."}),
    [](const auto& test) { return std::string(test.param.name); });

struct ThrowingBoxes : MessageBoxes {
    int tries = 0;
    void Show(const std::string& /*text*/, const std::string& /*title*/) override {
        ++tries;
        throw std::runtime_error("no window system");
    }
    bool AskRetry(const std::string& /*text*/, const std::string& /*title*/) override {
        return false;
    }
};

TEST(RunEventTest, GoesOnWhenTheBoxItselfFails) {
    ThrowingBoxes boxes;
    static_assert(noexcept(RunEvent(boxes, [] {})));
    RunEvent(boxes, [] { throw Error(2, "gone"); });
    RunEvent(boxes, [] { throw std::bad_alloc(); });
    EXPECT_EQ(boxes.tries, 2);
}

}  // namespace
}  // namespace vx::test
