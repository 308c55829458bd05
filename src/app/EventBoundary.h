#pragma once

#include <utility>

#include "app/Controls.h"

namespace vx {

// Shows the failure being handled (the one caught by the enclosing catch block) in the error
// box: a vx::Error as it is, any other exception by what it says. When the box itself fails
// nobody can be told, and the program goes on all the same.
void ReportCurrentFailure(MessageBoxes& boxes) noexcept;

// The one place where the failures of an event end, in both window bindings: the error box is
// shown and the window stays usable. Nothing escapes, so no exception ever unwinds through a
// toolkit's event dispatch.
template <typename Handler>
void RunEvent(MessageBoxes& boxes, Handler&& handler) noexcept {
    try {
        std::forward<Handler>(handler)();
    } catch (...) {
        ReportCurrentFailure(boxes);
    }
}

}  // namespace vx
