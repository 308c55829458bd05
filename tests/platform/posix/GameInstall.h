#pragma once

#include <filesystem>
#include <string>

#include "TempFolder.h"
#include "platform/posix/PosixPlatform.h"
#include "state/ModRegistry.h"

namespace vx::test {

// A user's machine once the game folder has been accepted: the game in a temporary folder
// with its executable, live archive and mods folder, and the program's store in another,
// remembering that folder. Nothing is faked: the store and the files are real.
class GameInstall {
  public:
    explicit GameInstall(const std::string& liveArchive = "the game's own archive",
                         posix::FileSteps& steps = posix::SystemFileSteps())
        : platform(config, steps) {
        std::filesystem::create_directories(mods);
        std::filesystem::create_directories(archives);
        WriteFile(game + "/vexmoor.exe", "MZ");
        WriteFile(live, liveArchive);
        ModRegistry(platform).WriteGameFolder(game);
    }

    std::string SettingsFile() const {
        return platform.SettingsFile("Vexmoor Patchkeeper").string();
    }
    std::string ConfigFolder() const { return (config / "Vexmoor Patchkeeper").string(); }

    TempFolder root;
    std::string game = root / "Vexmoor Game";
    std::string live = game + "/patch_vx.zpk";
    std::string mods = game + "/mods";
    std::string backup = mods + "/NORMAL_patch_vx.zpk";
    std::string archives = root / "archives";  // where the user keeps mods, outside the game
    std::filesystem::path config = root.Path() / "config";
    posix::PosixPlatform platform;
};

}  // namespace vx::test
