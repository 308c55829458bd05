#include "app/EventBoundary.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "fakes/FakeControls.h"
#include "state/Error.h"

namespace vx::test {
namespace {

// Every failure ends in one box and the program goes on, even when the box itself fails.
TEST(RunEventTest, EndsEveryFailureInOneBox) {
    FakeMessageBoxes boxes;
    const std::string app = "Vexmoor Patchkeeper";
    static_assert(noexcept(RunEvent(boxes, [] {})));
    RunEvent(boxes, [] { throw Error(5, "Access is denied.", "C:\\game"); });
    RunEvent(boxes, [] { throw std::length_error("too long"); });
    RunEvent(boxes, [] { throw 42; });
    RunEvent(boxes, [] { throw CopyCancelled(); });  // the user's own choice says nothing
    EXPECT_EQ(boxes.shown, (Boxes{{"Error 5: Access is denied.\n\nC:\\game", app},
                                  {"Error 0: too long", app},
                                  {"Error 0: An unexpected failure ended the command.", app}}));
    boxes.broken = true;
    RunEvent(boxes, [] { throw std::bad_alloc(); });
    EXPECT_EQ(boxes.shown.size(), 4U);
}

}  // namespace
}  // namespace vx::test
