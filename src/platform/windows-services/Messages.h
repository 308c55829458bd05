#pragma once

namespace vx::windows {

// The plain words for the failures a player meets most and can mend; everything else
// carries the system's own text.
inline constexpr const char* kFileInUse =
    "The file is in use by another program. Close Vexmoor (or the program using the file) "
    "and try again.";
inline constexpr const char* kFolderNotWritable =
    "Patchkeeper may not write in this folder. Run Patchkeeper as administrator or move the "
    "game to a folder you own.";
inline constexpr const char* kCannotReplace =
    "The file cannot be replaced: another program is using it, or Patchkeeper may not change "
    "it. Close Vexmoor and try again, or run Patchkeeper as administrator.";
inline constexpr const char* kIsAFolder = "This is a folder, not a file.";
inline constexpr const char* kFolderInTheWay = "A folder stands where the file should go.";
inline constexpr const char* kSettingsNotWritable =
    "Patchkeeper may not write its settings file (a write-protected disk, or a folder you may "
    "not change). Make it writable, or move Patchkeeper and the file to a folder you own.";
inline constexpr const char* kNotText = "The setting is stored in the registry, but not as text.";

}  // namespace vx::windows
