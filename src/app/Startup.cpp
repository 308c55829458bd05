#include "app/Startup.h"

#include "state/SettingsLayout.h"

namespace vx {

Startup::Startup(PlatformServices& platform) : platform_(platform) {}

FirstWindow Startup::Run() {
    const std::string folder = ModRegistry(platform_).ReadGameFolder(settings::kNoPath);
    if (folder == settings::kNoPath) {
        return FirstWindow::GameFolder;
    }
    SetGamePath(folder);
    return FirstWindow::Main;
}

void Startup::SetGamePath(const std::string& folder) {
    const char separator = platform_.PathSeparator();
    paths_.GamePath = folder;
    paths_.ModsPath = folder + separator + std::string(settings::kModsFolder);
    paths_.PatchPath = folder + separator + std::string(settings::kPatchArchive);
}

}  // namespace vx
