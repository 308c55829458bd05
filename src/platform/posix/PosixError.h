#pragma once

#include <string>

#include "state/Error.h"

namespace vx::posix {

// The failure for an errno value, with the system's text for it and the path concerned.
Error ErrnoError(int number, const std::string& path);

// Throws ErrnoError(errno, path) when `result` is -1.
void ThrowIfFailed(long result, const std::string& path);

}  // namespace vx::posix
