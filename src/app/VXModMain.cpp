#include "VXModMain.h"

#include <optional>
#include <string>

#include "Layout.h"
#include "state/Error.h"
#include "state/SettingsLayout.h"
#include "state/Text.h"

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
    controls_.CommonDialog1.SetFileMustExist(true);
    platform_.RemoveLeftovers(paths_.GamePath);
    platform_.RemoveLeftovers(paths_.ModsPath);

    std::int16_t n = registry_.ReadCount("0");
    if (n == 0) {
        const std::string backup =
            paths_.ModsPath + platform_.PathSeparator() + std::string(settings::kBackupArchive);
        // An existing backup is the only copy of the game's own archive: it is kept whatever
        // it looks like, never written over.
        platform_.CopyFileIfAbsent(paths_.PatchPath, backup);
        n = 1;
        registry_.WriteEntry(1, backup);
        registry_.WriteCount(n);
    }
    if (n >= 1) {
        RefreshModList(n);
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
            try {
                if (platform_.FileSize(path) == *liveSize) {
                    controls_.Label2.SetCaption(platform_.LookupEntry(path, EntryKind::PlainFiles));
                }
            } catch (const Error&) {
                boxes_.Show("File not found " + path, std::string(kFileNotFoundTitle));
                path = registry_.ReadGameFolder("") + platform_.PathSeparator() +
                       std::string(settings::kPatchArchive);
                registry_.WriteEntry(i, path);
                ++repairs;
                controls_.Label2.SetCaption(platform_.LookupEntry(path, EntryKind::PlainFiles));
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
    const std::int16_t n = registry_.ReadCount(std::nullopt);
    const int selected = controls_.List1.SelectedIndex();
    if (selected < 0) {
        boxes_.Show("Select something!", "Select Something");
        return;
    }
    platform_.ReplaceFile(controls_.List1.Item(selected), paths_.PatchPath);
    RefreshModList(n);
}

void VXModMain::Command2Click() {
    controls_.CommonDialog1.SetFilter(ParseFileTypes(layout::vxmodmain::kOpenFilter));
    controls_.CommonDialog1.ShowOpen();
    const std::string file = controls_.CommonDialog1.FileName();
    if (file.empty()) {
        return;
    }

    std::int16_t n = registry_.ReadCount("0");
    for (int i = 1; i <= n; ++i) {
        if (EqualIgnoringCase(registry_.ReadEntry(i), file)) {
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
    std::int16_t n = registry_.ReadCount("0");
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
