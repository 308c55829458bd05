#pragma once

#include <string>
#include <string_view>

namespace vx {

// Folds UTF-8 text for comparisons that ignore letter case, by Unicode's simple case folding
// (one code point for one, so lengths in code points stay). Bytes that are not valid UTF-8
// stay as they are.
std::string FoldCase(std::string_view text);

bool EqualIgnoringCase(std::string_view a, std::string_view b);

// `text` without the UTF-8 byte-order mark that some editors put at the start of a file.
std::string_view WithoutByteOrderMark(std::string_view text);

}  // namespace vx
