#pragma once

#include <string_view>

// The names by which a second start finds the running program, the same in every build of
// one version, so that any start of it finds any other.
namespace vx::instance {

// Linux: the file whose lock the running program holds, and its local socket, side by side
// in the user's runtime folder.
inline constexpr std::string_view kLockFile = "vexmoor-patchkeeper.lock";
inline constexpr std::string_view kSocketFile = "vexmoor-patchkeeper.socket";

// Windows: the mutex the running program holds, in the namespace of the user's session.
inline constexpr std::string_view kMutexName = "Local\\VexmoorPatchkeeper";

}  // namespace vx::instance
