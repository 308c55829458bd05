#pragma once

#include <exception>
#include <utility>

#include "app/Controls.h"
#include "app/ErrorReport.h"
#include "state/Error.h"

namespace vx::win32 {

// Runs the handler of one user event. A failure is shown in a box and ends only the event:
// the window stays open and usable, and nothing escapes into Windows' message dispatch,
// through which an exception must never unwind.
template <class Handler>
void RunEvent(MessageBoxes& boxes, Handler&& handler) noexcept {
    try {
        std::forward<Handler>(handler)();
    } catch (const Error& error) {
        ReportError(boxes, error);
    } catch (const std::exception& error) {
        ReportError(boxes, Error(0, error.what()));
    }
}

}  // namespace vx::win32
