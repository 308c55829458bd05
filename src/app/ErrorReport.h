#pragma once

#include <string>

#include "app/Controls.h"
#include "state/Error.h"

namespace vx {

// The text of the box that reports a failure nobody recovered from: number, text and path.
std::string FormatError(const Error& error);

// Shows that box, titled with the application's name. RunEvent (EventBoundary.h) calls this
// for every failure that ends an event.
void ReportError(MessageBoxes& boxes, const Error& error);

}  // namespace vx
