#pragma once

#include <string>
#include <string_view>

namespace vx::windows {

// The program keeps text as UTF-8; the W functions of the API take UTF-16. These convert at
// that boundary. ToUtf16 throws vx::Error on bytes that are not UTF-8, since a path with a
// replacement character in it would name some other file.
std::wstring ToUtf16(std::string_view text);

// Unpaired surrogates, which NTFS allows in names, come out as U+FFFD.
std::string ToUtf8(std::wstring_view text);

}  // namespace vx::windows
