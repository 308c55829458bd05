#pragma once

#include <windows.h>

#include <string>

#include "state/Error.h"

namespace vx::windows {

// The system's own text for an error number, in the user's language, without the line break
// FormatMessageW ends it with.
std::string SystemMessage(DWORD code);

// A vx::Error with the number, the system's text for it and the path concerned.
Error SystemError(DWORD code, const std::string& path = {});

// The same for GetLastError(); call it straight after the failing function.
Error LastError(const std::string& path = {});

// A vx::Error with the number and plain words of our own instead of the system's text.
Error ExplainedError(DWORD code, const char* text, const std::string& path);

}  // namespace vx::windows
