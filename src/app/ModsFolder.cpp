#include "app/ModsFolder.h"

#include "state/SettingsLayout.h"
#include "state/Text.h"

namespace vx {

void MakeModsFolderIfMissing(PlatformServices& platform, const std::string& modsPath) {
    const std::string found = platform.LookupEntry(modsPath, EntryKind::FilesAndFolders);
    if (!EqualIgnoringCase(found, settings::kModsFolder)) {
        platform.MakeFolder(modsPath);
    }
}

}  // namespace vx
