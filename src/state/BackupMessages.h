#pragma once

#include <string_view>

// What stands in the way of the first-run backup, said alike on every platform.
namespace vx::messages {

inline constexpr std::string_view kFolderAtBackup =
    "A folder stands where the backup of the game's archive belongs. Move it away, then try "
    "again.";
inline constexpr std::string_view kNoFileAtBackup =
    "Something that is not a file stands where the backup of the game's archive belongs. Move "
    "it away, then try again.";

}  // namespace vx::messages
