#include "app/EventBoundary.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <utility>
#include <vector>

#include "fakes/FakeControls.h"
#include "state/Error.h"

namespace vx::test {
namespace {

using Boxes = std::vector<std::pair<std::string, std::string>>;

TEST(RunEventTest, EndsEveryFailureInOneBox) {
    for (const auto& [handler, shown] : std::vector<std::pair<std::function<void()>, Boxes>>{
             {[] {}, {}},
             {[] { throw Error(5, "Access is denied.", "C:\\game"); },
              {{"Error 5: Access is denied.\n\nC:\\game", "Vexmoor Patchkeeper"}}},
             {[] { throw std::length_error("too long"); },
              {{"Error 0: too long", "Vexmoor Patchkeeper"}}},
             {[] { throw 42; },
              {{"Error 0: An unexpected failure ended the command.", "Vexmoor Patchkeeper"}}}}) {
        FakeMessageBoxes boxes;
        RunEvent(boxes, handler);
        EXPECT_EQ(boxes.shown, shown);
    }
}

TEST(RunEventTest, GoesOnWhenTheBoxItselfFails) {
    FakeMessageBoxes boxes;
    boxes.broken = true;
    static_assert(noexcept(RunEvent(boxes, [] {})));
    RunEvent(boxes, [] { throw Error(2, "gone"); });
    RunEvent(boxes, [] { throw std::bad_alloc(); });
    EXPECT_EQ(boxes.shown.size(), 2U);
}

}  // namespace
}  // namespace vx::test
