#include "VXModMain.h"

#include <optional>
#include <string>

#include "Layout.h"
#include "ModsFolder.h"
#include "state/Error.h"
#include "state/SettingsLayout.h"

namespace vx {
namespace {

// A repair points entries at the live archive, so a second pass normally finds everything
// present; further passes only happen when files vanish while the list is being built.
constexpr int kMaxRefreshPasses = 3;

constexpr std::string_view kFileNotFoundTitle = "Could not find file";

std::optional<std::int64_t> TryFileSize(PlatformServices& platform, const std::string& path) {
    try {
        return platform.FileSize(path);
    } catch (const Error&) {
        return std::nullopt;
    }
}

}  // namespace

VXModMain::VXModMain(const SharedPaths& paths, PlatformServices& platform, MessageBoxes& boxes,
                     Controls controls)
    : paths_(paths), platform_(platform), boxes_(boxes), controls_(controls), registry_(platform) {}

void VXModMain::Load() {
    controls_.CommonDialog1.SetFlags(OpenFileDialog::kFileMustExist);
    platform_.RemoveLeftovers(paths_.GamePath);
    platform_.RemoveLeftovers(paths_.ModsPath);

    const std::int16_t n = BackUpIfNoEntries(registry_.ReadCount("0"));
    if (n >= 1) {
        RefreshModList(n);
    }
}

std::int16_t VXModMain::BackUpIfNoEntries(std::int16_t n) {
    if (n != 0) {
        return n;
    }
    const std::string backup =
        paths_.ModsPath + platform_.PathSeparator() + std::string(settings::kBackupArchive);
    try {
        MakeModsFolderIfMissing(platform_, paths_.ModsPath);
        // A backup that exists already is the only copy of the game's own archive: it is
        // registered as it is, never written over.
        platform_.CopyFileIfAbsent(paths_.PatchPath, backup);
    } catch (const Error& error) {
        throw Error(error.Number(),
                    "The game's patch archive could not be backed up, so Patchkeeper will not "
                    "replace it or register anything yet. " +
                        error.Text(),
                    error.Path());
    }
    registry_.WriteEntry(1, backup);
    registry_.WriteCount(1);
    return 1;
}

std::string VXModMain::DisplayName(const std::string& path) {
    try {
        return platform_.LookupEntry(path, EntryKind::PlainFiles);
    } catch (const Error&) {
        // The file is there (its size was just read) but its folder cannot be listed: the
        // name as the path spells it is the best there is, and no reason to touch the entry.
        return path.substr(path.find_last_of(platform_.PathSeparator()) + 1);
    }
}

void VXModMain::RefreshModList(std::int16_t n) {
    for (int pass = 0; pass < kMaxRefreshPasses; ++pass) {
        controls_.List1.Clear();
        int repairs = 0;
        bool liveMissing = false;
        for (int i = 1; i <= n; ++i) {
            std::string path = registry_.ReadEntry(i);
            // Probed anew for every entry: a repair may have just pointed one at it.
            const auto liveSize = TryFileSize(platform_, paths_.PatchPath);
            if (!liveSize) {
                // Without the live archive nothing can be compared, and pointing entries at
                // a file that is not there would only lose their paths: list them as stored.
                liveMissing = true;
                controls_.List1.AddItem(path);
                continue;
            }
            const auto size = TryFileSize(platform_, path);
            if (!size) {
                boxes_.Show("File not found " + path, std::string(kFileNotFoundTitle));
                path = registry_.ReadGameFolder("") + platform_.PathSeparator() +
                       std::string(settings::kPatchArchive);
                registry_.WriteEntry(i, path);
                ++repairs;
            }
            if (!size || *size == *liveSize) {
                controls_.Label2.SetCaption(DisplayName(path));
            }
            controls_.List1.AddItem(path);
        }
        if (liveMissing) {
            boxes_.Show("File not found " + paths_.PatchPath, std::string(kFileNotFoundTitle));
            return;
        }
        if (repairs == 0) {
            return;
        }
    }
}

void VXModMain::SwtichClick() {
    // No default in the classic design, since the load writes the count; a load whose backup
    // failed has not, and that must lead to the backup, not to a type mismatch.
    std::int16_t n = registry_.ReadCount("0");
    const int selected = controls_.List1.SelectedIndex();
    if (selected < 0) {
        boxes_.Show("Select something!", "Select Something");
        return;
    }
    const std::string source = controls_.List1.Item(selected);
    n = BackUpIfNoEntries(n);
    platform_.ReplaceFile(source, paths_.PatchPath);
    RefreshModList(n);
}

void VXModMain::Command2Click() {
    std::int16_t n = registry_.ReadCountToChange();
    if (n == 0) {
        // Before the dialog: nobody should pick a file that then cannot be registered.
        n = BackUpIfNoEntries(n);
        RefreshModList(n);
    }
    controls_.CommonDialog1.SetFilter(std::string(layout::vxmodmain::kOpenFilter));
    controls_.CommonDialog1.ShowOpen();
    const std::string file = controls_.CommonDialog1.FileName();
    if (file.empty()) {
        return;
    }

    for (int i = 1; i <= n; ++i) {
        if (platform_.PathsMatchIgnoringCase(registry_.ReadEntry(i), file)) {
            return;
        }
    }
    if (n == INT16_MAX) {
        throw Error(kErrorOverflow, "Overflow: no more than 32767 mods can be registered");
    }
    ++n;
    // The entry before the count: if the program stops in between, the list is as before
    // instead of ending in an empty entry.
    registry_.WriteEntry(n, file);
    registry_.WriteCount(n);
    RefreshModList(n);
}

void VXModMain::Command1Click() {
    std::int16_t n = registry_.ReadCountToChange();
    const int bound = n;
    for (int i = 0; i < bound; ++i) {
        if (controls_.List1.SelectedIndex() == i) {
            // Each later entry moves down one place, first to last, so that a stop half-way
            // leaves one entry twice rather than one lost.
            for (int j = i + 1; j <= n; ++j) {
                registry_.WriteEntry(j, registry_.ReadEntry(j + 1));
            }
            --n;
        }
    }
    registry_.WriteCount(n);
    RefreshModList(n);
}

}  // namespace vx
