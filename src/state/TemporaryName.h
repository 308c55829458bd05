#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vx {

// What an atomic copy calls its temporary file, the same on every platform, so that the
// next start can tell a leftover from everything else in a folder: ".patchkeeper-", 16 hex
// digits, ".tmp". Nothing else is ever given such a name.
inline constexpr std::string_view kTemporaryPrefix = ".patchkeeper-";
inline constexpr std::string_view kTemporarySuffix = ".tmp";

// How many names an atomic copy draws before it gives up. Each holds 64 random bits, so even
// a second draw means something else makes such names in that folder.
inline constexpr int kTemporaryNameTries = 8;

// The name for a temporary file drawn from `random`, its digits in lower case.
std::string TemporaryName(std::uint64_t random);

// True for every name TemporaryName gives. Digits in upper case count too: older Windows
// versions of the program recognised them, and a leftover may still carry them.
bool IsTemporaryName(std::string_view name);

}  // namespace vx
