#pragma once

#include <sys/types.h>

#include <functional>
#include <string>

#include "platform/posix/FileSteps.h"

namespace vx::posix {

enum class Existing { Replace, Keep };

// Writes `destination` through a temporary file in its own folder that `fill` fills, is put
// on the disk, given `mode` and then renamed into place: a reader, or the next start after a
// crash, sees the old file or the new one. Answers false when `how` is Keep and something
// stands at `destination` already. On failure the temporary file is removed and the
// destination is as it was.
bool WriteAtomically(const std::string& destination, mode_t mode, Existing how,
                     const std::function<void(int fd)>& fill, FileSteps& steps);

}  // namespace vx::posix
