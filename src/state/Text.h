#pragma once

#include <string>
#include <string_view>

namespace vx {

// Lower-cases UTF-8 text for comparisons that ignore letter case: ASCII, Latin-1, Latin
// Extended-A, Greek and Cyrillic letters. Bytes that are not valid UTF-8 stay as they are.
std::string ToLower(std::string_view text);

bool EqualIgnoringCase(std::string_view a, std::string_view b);

}  // namespace vx
