#pragma once

#include <filesystem>

#include "app/Services.h"
#include "platform/posix/IniSettings.h"
#include "platform/posix/PosixFiles.h"
#include "platform/posix/PosixSystemInfo.h"
#include "state/ModRegistry.h"

namespace vx::test {

// The Linux services as the program composes them, with the settings file under `config` and
// every write through `steps`.
struct LinuxServices {
    explicit LinuxServices(const std::filesystem::path& config,
                           posix::FileSteps& steps = posix::SystemFileSteps())
        : settings(posix::SettingsFileIn(config), steps), files(steps) {}

    operator Services() { return {settings, files, system}; }
    ModRegistry Registry() { return {settings, system}; }

    posix::IniSettings settings;
    posix::PosixFiles files;
    posix::PosixSystemInfo system;
};

}  // namespace vx::test
