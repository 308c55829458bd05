#pragma once

#include <cstdint>
#include <string>

#include "state/PlatformServices.h"

namespace vx::win32 {

// FindFirstFileW on one exact path: the entry's name in its stored letter case, or empty
// text when nothing of the kind matches. A last component holding wildcards matches
// nothing. Failures other than "not there" (a drive that is not ready, no access) throw.
std::string LookupEntry(const std::string& path, EntryKind kind);

// The size of a file in bytes; throws for a missing file, an empty path or a folder.
std::int64_t FileSize(const std::string& path);

// Creates one folder; throws when it cannot.
void MakeFolder(const std::string& path);

}  // namespace vx::win32
