#include "app/GameFolderWindow.h"

#include "app/ModsFolder.h"
#include "state/ModRegistry.h"
#include "state/SettingsLayout.h"
#include "state/Text.h"

namespace vx {

GameFolderWindow::GameFolderWindow(Startup& startup, Services services, MessageBoxes& boxes,
                                   MainWindowOpener& opener, Controls controls)
    : startup_(startup), services_(services), boxes_(boxes), opener_(opener), controls_(controls) {}

void GameFolderWindow::Load() {
    controls_.FolderText.SetText(services_.system.SuggestedGameFolder());
}

void GameFolderWindow::OnOk() {
    const std::string folder = controls_.FolderText.Text();
    const std::string separator(1, services_.files.PathSeparator());
    // Windows stores the executable's name in whatever case the installer chose.
    const std::string found = services_.files.LookupEntry(
        folder + separator + std::string(settings::kGameExecutable), EntryKind::FilesAndFolders);
    if (!EqualIgnoringCase(found, settings::kGameExecutable)) {
        boxes_.Show("Path Invalid: " + folder, "Invalid Path");
        return;
    }

    // The folder is remembered only once its mods folder exists: a remembered folder is
    // never asked for again, so it must not be one that the next start trips over.
    MakeModsFolderIfMissing(services_.files,
                            folder + separator + std::string(settings::kModsFolder));
    ModRegistry(services_.settings, services_.system).WriteGameFolder(folder);
    startup_.SetGamePath(folder);

    controls_.Self.Hide();
    opener_.OpenMainWindow();
}

void GameFolderWindow::OnBrowse() {
    const std::string chosen = controls_.Browser.ChooseFolder(controls_.FolderText.Text());
    if (!chosen.empty()) {
        controls_.FolderText.SetText(chosen);
    }
}

}  // namespace vx
