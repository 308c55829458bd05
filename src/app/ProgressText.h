#pragma once

#include <cstdint>
#include <string>

namespace vx {

// A size as people read it: bytes below a kilobyte, then one decimal from a megabyte up.
std::string FormatSize(std::int64_t bytes);

// What a progress window says under the archive's name: "1.5 GB of 2.0 GB".
std::string CopiedOfTotal(std::int64_t done, std::int64_t total);

// How far a copy has come, 0 to 1000, for a progress bar.
int CopiedPermille(std::int64_t done, std::int64_t total);

}  // namespace vx
