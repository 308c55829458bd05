#pragma once

#include <utility>

#include "app/Controls.h"
#include "app/ErrorReport.h"
#include "state/Error.h"

namespace vx::qt {

// The one place where the failures of an event end: the error box is shown and the window
// stays usable. Every slot and every start-up step runs its handler through this, so no
// exception ever unwinds through Qt's event loop.
template <typename Handler>
void RunEvent(MessageBoxes& boxes, Handler&& handler) {
    try {
        std::forward<Handler>(handler)();
    } catch (const Error& error) {
        ReportError(boxes, error);
    }
}

}  // namespace vx::qt
