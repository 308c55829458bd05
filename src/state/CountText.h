#pragma once

#include <cstdint>
#include <string_view>

#include "state/Error.h"

namespace vx {

// Reads the stored entry count the way it has always been read: the text as a number in the
// user's locale, rounded down to a whole number. Throws vx::Error (type mismatch) for text
// that is not a number and (overflow) for a result outside the 16-bit signed range.
std::int16_t ParseCount(std::string_view text, char decimalSeparator);

// The type mismatch for a stored count that is no count of entries.
Error BadCountError(std::string_view text);

}  // namespace vx
