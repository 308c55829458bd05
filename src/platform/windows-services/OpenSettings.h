#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/windows-services/RegistrySettings.h"
#include "state/SettingsStore.h"

namespace vx::windows {

// The file that, standing beside the program, makes it portable.
inline constexpr std::string_view kPortableSettingsName = "VexmoorPatchkeeper.ini";

// The settings store of the program at `programFile`: the INI file of that name beside it
// when anything stands there (a folder or a file that cannot be read then fails with a
// message, rather than the registry taking over), else the registry under `registryRoot`.
std::unique_ptr<SettingsStore> OpenSettings(const std::string& programFile,
                                            std::string_view registryRoot = kProgramSettingsRoot);

// The same for this running program.
std::unique_ptr<SettingsStore> OpenSettings();

}  // namespace vx::windows
