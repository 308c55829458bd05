#include "app/Startup.h"

#include "state/ModRegistry.h"
#include "state/SettingsLayout.h"

namespace vx {

Startup::Startup(Services services) : services_(services) {}

FirstWindow Startup::Run() {
    const std::string folder =
        ModRegistry(services_.settings, services_.system).ReadGameFolder(settings::kNoPath);
    if (folder == settings::kNoPath) {
        return FirstWindow::GameFolder;
    }
    SetGamePath(folder);
    return FirstWindow::Main;
}

void Startup::SetGamePath(const std::string& folder) {
    const char separator = services_.files.PathSeparator();
    paths_.GamePath = folder;
    paths_.ModsPath = folder + separator + std::string(settings::kModsFolder);
    paths_.PatchPath = folder + separator + std::string(settings::kPatchArchive);
    paths_.BackupPath = paths_.ModsPath + separator + std::string(settings::kBackupArchive);
}

}  // namespace vx
