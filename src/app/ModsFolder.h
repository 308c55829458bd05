#pragma once

#include <string>

#include "state/Files.h"

namespace vx {

// Makes the mods folder unless an entry of that name, in any letter case, file or folder,
// stands there already: whatever stands there is the user's and is never replaced.
void MakeModsFolderIfMissing(Files& files, const std::string& modsPath);

}  // namespace vx
