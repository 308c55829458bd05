#include "app/ModsFolder.h"

#include "state/SettingsLayout.h"
#include "state/Text.h"

namespace vx {

void MakeModsFolderIfMissing(Files& files, const std::string& modsPath) {
    const std::string found = files.LookupEntry(modsPath, EntryKind::FilesAndFolders);
    if (!EqualIgnoringCase(found, settings::kModsFolder)) {
        files.MakeFolder(modsPath);
    }
}

}  // namespace vx
