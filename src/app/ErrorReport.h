#pragma once

#include <string>

#include "Controls.h"
#include "state/Error.h"

namespace vx {

// The text of the box that reports a failure nobody recovered from: number, text and path.
std::string FormatError(const Error& error);

// Shows that box, titled with the application's name. Each binding calls this at the one
// place where it catches the failures of an event.
void ReportError(MessageBoxes& boxes, const Error& error);

}  // namespace vx
