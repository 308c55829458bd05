#pragma once

#include <string_view>

namespace vx::settings {

inline constexpr std::string_view kAppName = "Vexmoor Patchkeeper";

inline constexpr std::string_view kSettingsSection = "settings";
inline constexpr std::string_view kGameFolderKey = "vxpath";
inline constexpr std::string_view kCountKey = "mods";
inline constexpr std::string_view kModsSection = "mods";

// Stored as the game folder while none has been accepted.
inline constexpr std::string_view kNoPath = "nopath";

// Names inside the game folder.
inline constexpr std::string_view kGameExecutable = "vexmoor.exe";
inline constexpr std::string_view kPatchArchive = "patch_vx.zpk";
inline constexpr std::string_view kModsFolder = "mods";
inline constexpr std::string_view kBackupArchive = "NORMAL_patch_vx.zpk";

}  // namespace vx::settings
