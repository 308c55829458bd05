#pragma once

#include <string>

#include "state/PlatformServices.h"

namespace vx::posix {

// The directory entry `path` names, its last component matched without regard to letter
// case (an exact match wins); hidden entries (a leading dot) never match.
std::string LookupEntry(const std::string& path, EntryKind kind);

// Removes what an interrupted atomic write left in `folder`. Never throws.
void RemoveLeftovers(const std::string& folder) noexcept;

}  // namespace vx::posix
