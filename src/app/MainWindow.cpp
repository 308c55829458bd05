#include "app/MainWindow.h"

#include <optional>
#include <string>

#include "app/Layout.h"
#include "app/ModsFolder.h"
#include "app/ProgressText.h"
#include "state/Error.h"
#include "state/SettingsLayout.h"

namespace vx {
namespace {

// A repair points entries at the live archive, so a second pass normally finds everything
// present; further passes only happen when files vanish while the list is being built.
constexpr int kMaxRefreshPasses = 3;

constexpr std::string_view kFileNotFoundTitle = "Could not find file";

constexpr FileType kModArchives{"Vexmoor Patch (*.zpk)", "*.zpk"};

constexpr std::string_view kNotKept =
    "The game's patch archive matched none of your mods and could not be kept, so it was not "
    "replaced. ";

constexpr std::string_view kNotBackedUp =
    "The game's patch archive could not be backed up, so Patchkeeper will not replace it or "
    "register anything yet. ";

// Names tried for the copy of an unknown live archive on one day: patch_vx-<date>.zpk, then
// -2, -3... up to this.
constexpr int kMaxKeptCopiesADay = 999;

std::optional<std::int64_t> TryFileSize(Files& files, const std::string& path) {
    try {
        return files.FileSize(path);
    } catch (const Error&) {
        return std::nullopt;
    }
}

}  // namespace

MainWindow::MainWindow(const SharedPaths& paths, Services services, MessageBoxes& boxes,
                       Controls controls)
    : paths_(paths),
      settings_(services.settings),
      files_(services.files),
      system_(services.system),
      boxes_(boxes),
      controls_(controls),
      registry_(services.settings, services.system) {}

void MainWindow::Load() {
    RunCommand([this] { BackUpAndList(); });
}

void MainWindow::BackUpAndList() {
    controls_.OpenDialog.SetFileMustExist(true);
    files_.RemoveLeftovers(paths_.GamePath);
    files_.RemoveLeftovers(paths_.ModsPath);

    const std::int16_t n = BackUpIfNoEntries(registry_.ReadCount());
    Commit();
    if (n >= 1) {
        RefreshModList(n);
    }
    Commit();
}

std::int16_t MainWindow::BackUpIfNoEntries(std::int16_t n) {
    if (n != 0) {
        return n;
    }
    const std::string& backup = paths_.BackupPath;
    try {
        MakeModsFolderIfMissing(files_, paths_.ModsPath);
        // A backup that exists already is the only copy of the game's own archive: it is
        // registered as it is, never written over.
        if (!TryFileSize(files_, backup)) {
            CheckRoom(files_.FileSize(paths_.PatchPath), paths_.ModsPath);
        }
        Copy(paths_.PatchPath, [&](CopyProgress& progress) {
            files_.CopyFileIfAbsent(paths_.PatchPath, backup, progress);
        });
    } catch (const CopyCancelled& cancelled) {
        // The box says why the list stays empty; the command then ends without another.
        ShowBox(std::string(kNotBackedUp) + cancelled.what(), settings::kAppName);
        throw;
    } catch (const Error& error) {
        throw Error(error.Number(), std::string(kNotBackedUp) + error.Text(), error.Path());
    }
    registry_.WriteEntry(1, backup);
    registry_.WriteCount(1);
    return 1;
}

bool MainWindow::SameFile(const std::string& a, const std::string& b) noexcept {
    const auto first = files_.IdentifyFile(a);
    return first && first == files_.IdentifyFile(b);
}

bool MainWindow::LiveArchiveIsRegistered(std::int16_t n) {
    const auto liveSize = TryFileSize(files_, paths_.PatchPath);
    if (!liveSize) {
        return true;  // nothing there to lose
    }
    const auto live = files_.IdentifyFile(paths_.PatchPath);
    for (int i = 1; i <= n; ++i) {
        const std::string path = registry_.ReadEntry(i);
        if (TryFileSize(files_, path) != liveSize) {
            continue;
        }
        // An entry that leads to the live archive itself, by whatever spelling (a repaired
        // entry, a link, another name for its folder), is no copy of it. Nor is one whose file
        // cannot be told apart from it: a needless copy costs space, a missing one the archive.
        const auto file = files_.IdentifyFile(path);
        if (live && file && *file != *live) {
            return true;
        }
    }
    return false;
}

std::int16_t MainWindow::KeepLiveArchive(std::int16_t n) {
    if (n == INT16_MAX) {
        throw Error(kErrorOverflow,
                    std::string(kNotKept) + "No more than 32767 mods can be registered.",
                    paths_.PatchPath);
    }
    const std::string stem =
        paths_.ModsPath + files_.PathSeparator() + "patch_vx-" + system_.LocalDate();
    std::string kept = stem + ".zpk";
    try {
        MakeModsFolderIfMissing(files_, paths_.ModsPath);
        Copy(paths_.PatchPath, [&](CopyProgress& progress) {
            for (int number = 2;; ++number) {
                if (files_.CopyFileIfAbsent(paths_.PatchPath, kept, progress)) {
                    return;
                }
                if (number > kMaxKeptCopiesADay) {
                    throw Error(kErrorFileExists, "Every name for a copy made today is taken.",
                                kept);
                }
                kept = stem + "-" + std::to_string(number) + ".zpk";
            }
        });
    } catch (const Error& error) {
        throw Error(error.Number(), std::string(kNotKept) + error.Text(), error.Path());
    }
    ++n;
    registry_.WriteEntry(n, kept);
    registry_.WriteCount(n);
    Commit();
    // Listed at once: the switch that follows may still fail or wait for a Retry.
    RefreshModList(n);
    ShowBox("The game's patch archive matched none of your mods; it was kept as " + kept +
                " before switching.",
            settings::kAppName);
    return n;
}

void MainWindow::CheckRoom(std::int64_t needed, const std::string& folder,
                           std::string_view whatNeedsIt) {
    const auto free = files_.FreeSpace(folder);
    if (free && needed > *free) {
        throw Error(kErrorDiskFull,
                    "Not enough free space: " + std::string(whatNeedsIt) + " " +
                        FormatSize(needed) + ", but the disk of this folder has " +
                        FormatSize(*free) + " free. Free some space on that disk and try again.",
                    folder);
    }
}

void MainWindow::CheckRoomToSwitch(const std::string& source, bool keepLive) {
    const std::int64_t archive = files_.FileSize(source);
    if (!keepLive) {
        CheckRoom(archive, paths_.GamePath);
        return;
    }
    const std::int64_t live = files_.FileSize(paths_.PatchPath);
    // A mods folder yet to be made will be made in the game folder.
    auto modsDisk = files_.IdentifyFile(paths_.ModsPath);
    const auto gameDisk = files_.IdentifyFile(paths_.GamePath);
    if (!modsDisk) {
        modsDisk = gameDisk;
    }
    // Only where the two folders are known to be on different disks may each fit on its own.
    if (!modsDisk || !gameDisk || modsDisk->volume == gameDisk->volume) {
        CheckRoom(archive + live, paths_.GamePath,
                  "the archive and the copy kept of the game's current one need");
        return;
    }
    CheckRoom(archive, paths_.GamePath);
    try {
        CheckRoom(live, paths_.ModsPath, "the copy kept of the game's current archive needs");
    } catch (const Error& error) {
        throw Error(error.Number(), std::string(kNotKept) + error.Text(), error.Path());
    }
}

std::string MainWindow::FileNameOf(const std::string& path) const {
    return path.substr(path.find_last_of(files_.PathSeparator()) + 1);
}

std::string MainWindow::DisplayName(const std::string& path) {
    try {
        return files_.LookupEntry(path, EntryKind::PlainFiles);
    } catch (const Error&) {
        // The file is there (its size was just read) but its folder cannot be listed: the
        // name as the path spells it is the best there is, and no reason to touch the entry.
        return FileNameOf(path);
    }
}

void MainWindow::Copy(const std::string& source, const std::function<void(CopyProgress&)>& copy) {
    CopyJob job(copy);
    controls_.Copies.Watch(job, FileNameOf(source));
    job.Finish();
}

void MainWindow::RunCommand(const std::function<void()>& command) {
    if (busy_) {
        return;
    }
    busy_ = true;
    files_.HoldFolders(true);
    settings_.BeginBatch();
    try {
        command();
    } catch (...) {
        EndCommand();
        throw;
    }
    EndCommand();
}

void MainWindow::EndCommand() noexcept {
    settings_.EndBatch();
    files_.HoldFolders(false);
    busy_ = false;
}

void MainWindow::Commit() {
    // The user may move folders while anything is shown, and sees what the store holds.
    files_.HoldFolders(true);
    settings_.Commit();
}

void MainWindow::ShowBox(const std::string& text, std::string_view title) {
    // What the user looks at while the box is up is what the store holds.
    Commit();
    boxes_.Show(text, std::string(title));
}

void MainWindow::RefreshModList(std::int16_t n) {
    for (int pass = 0; pass < kMaxRefreshPasses; ++pass) {
        std::vector<std::string> items;
        int repairs = 0;
        bool liveMissing = false;
        // The label names the last entry of the live size, and naming one lists its whole
        // folder: only the last match seen is named, once, before anything can show the label
        // (a box, the end of the pass, a failure), so it reads as if every match had been.
        int lastMatch = 0;  // the last match's entry number until it is named, else 0
        liveRow_ = -1;
        const auto nameLastMatch = [&] {
            if (lastMatch != 0) {
                liveRow_ = lastMatch - 1;
                const auto place = static_cast<std::size_t>(lastMatch - 1);
                controls_.CurrentMod.SetCaption(DisplayName(items[place]));
                lastMatch = 0;
            }
        };
        // Probed once a pass, and again after each box: while one waits on the user, the game
        // or the user may replace or remove the live archive.
        auto liveSize = TryFileSize(files_, paths_.PatchPath);
        try {
            for (int i = 1; i <= n; ++i) {
                std::string path = registry_.ReadEntry(i);
                if (!liveSize) {
                    // Without the live archive nothing can be compared, and pointing entries
                    // at a file that is not there would only lose their paths: list them as
                    // stored.
                    liveMissing = true;
                    items.push_back(std::move(path));
                    continue;
                }
                const auto size = TryFileSize(files_, path);
                if (!size) {
                    nameLastMatch();
                    ShowBox("File not found " + path, kFileNotFoundTitle);
                    path = registry_.ReadGameFolder("") + files_.PathSeparator() +
                           std::string(settings::kPatchArchive);
                    registry_.WriteEntry(i, path);
                    ++repairs;
                    liveSize = TryFileSize(files_, paths_.PatchPath);
                }
                items.push_back(std::move(path));
                if (!size || *size == *liveSize) {
                    lastMatch = i;
                }
            }
        } catch (...) {
            nameLastMatch();
            throw;
        }
        nameLastMatch();
        Commit();  // the repairs are stored before the list shows them
        controls_.ModList.SetItems(items);
        if (liveMissing) {
            ShowBox("File not found " + paths_.PatchPath, kFileNotFoundTitle);
            return;
        }
        if (repairs == 0) {
            return;
        }
    }
}

void MainWindow::OnSwitch() {
    RunCommand([this] { SwitchSelected(); });
}

void MainWindow::SwitchSelected() {
    switched_ = false;
    const int selected = controls_.ModList.SelectedIndex();
    if (selected < 0) {
        ShowBox("Select something!", "Select Something");
        return;
    }
    SwitchTo(controls_.ModList.Item(selected));
}

void MainWindow::SwitchTo(const std::string& source) {
    // Once more each time another program held a file and the user chose Retry.
    while (true) {
        // A negative count is refused here too: the backup step would take it for no entries.
        std::int16_t n = BackUpIfNoEntries(registry_.ReadCountToChange());
        Commit();
        try {
            // Switching to the live archive itself, by whatever spelling, leaves it as it is.
            if (!SameFile(source, paths_.PatchPath)) {
                const bool keepLive = !LiveArchiveIsRegistered(n);
                // A switch that cannot happen, for want of its archive or of room for it,
                // keeps no copy of anything.
                CheckRoomToSwitch(source, keepLive);
                if (keepLive) {
                    n = KeepLiveArchive(n);
                }
            }
            Copy(source, [&](CopyProgress& progress) {
                files_.ReplaceWithCopy(source, paths_.PatchPath, progress);
            });
        } catch (const CopyCancelled&) {
            // The user's own choice needs no box; the list shows what is live, as after any
            // switch.
            RefreshModList(n);
            Commit();
            return;
        } catch (const Error& error) {
            if (!files_.HeldByAnotherProgram(error)) {
                throw;
            }
            Commit();
            // Cancel leaves everything as it is: the live archive was not touched.
            if (boxes_.AskRetry(HeldFileMessage(error.Path()), std::string(settings::kAppName))) {
                continue;
            }
            return;
        }
        RefreshModList(n);
        Commit();
        switched_ = true;
        return;
    }
}

std::string MainWindow::HeldFileMessage(const std::string& held) {
    if (held == paths_.PatchPath || SameFile(held, paths_.PatchPath)) {
        return "The game seems to be running: it holds its patch archive, which cannot be "
               "replaced while it does. Close the game, then choose Retry.\n\n" +
               held;
    }
    return "Another program holds this archive open, so it cannot be copied now. Close that "
           "program, then choose Retry.\n\n" +
           held;
}

std::int16_t MainWindow::CountBeforeAdding() {
    std::int16_t n = registry_.ReadCountToChange();
    if (n == 0) {
        // Before anything is chosen: nobody should pick a file that then cannot be registered.
        n = BackUpIfNoEntries(n);
        Commit();
        RefreshModList(n);
        Commit();
    }
    return n;
}

bool MainWindow::AddEntry(std::int16_t& n, const std::string& file) {
    for (int i = 1; i <= n; ++i) {
        if (files_.PathsMatchIgnoringCase(registry_.ReadEntry(i), file)) {
            return false;
        }
    }
    if (n == INT16_MAX) {
        throw Error(kErrorOverflow, "Overflow: no more than 32767 mods can be registered");
    }
    ++n;
    // The entry before the count: where saves are stored one by one, a stop in between leaves
    // the list as before instead of ending in an empty entry.
    registry_.WriteEntry(n, file);
    registry_.WriteCount(n);
    return true;
}

void MainWindow::OnAdd() {
    RunCommand([this] { AddChosen(); });
}

void MainWindow::AddChosen() {
    std::int16_t n = CountBeforeAdding();
    controls_.OpenDialog.SetFileType(kModArchives);
    controls_.OpenDialog.ShowOpen();
    const std::string file = controls_.OpenDialog.FileName();
    if (file.empty() || !AddEntry(n, file)) {
        return;
    }
    Commit();
    RefreshModList(n);
    Commit();
}

void MainWindow::OnDrop(const std::vector<std::string>& paths) {
    RunCommand([this, &paths] { AddDropped(paths); });
}

void MainWindow::AddDropped(const std::vector<std::string>& paths) {
    std::int16_t n = CountBeforeAdding();
    std::string skipped;
    bool added = false;
    for (const std::string& path : paths) {
        // Only a file can be made live; a folder or a vanished file would only be repaired
        // into the live archive's path by the next rebuild.
        if (!TryFileSize(files_, path)) {
            skipped += "\n" + path;
        } else if (AddEntry(n, path)) {
            added = true;
        }
    }
    if (added) {
        Commit();
        RefreshModList(n);
    }
    if (!skipped.empty()) {
        ShowBox("Only files can be added as mods; these were skipped:" + skipped,
                settings::kAppName);
    }
    Commit();
}

void MainWindow::OnRemove() {
    RunCommand([this] { RemoveSelected(); });
}

void MainWindow::RemoveSelected() {
    std::int16_t n = registry_.ReadCountToChange();
    const int selected = controls_.ModList.SelectedIndex();
    if (selected >= 0 && selected < n) {
        // Each later entry moves down one key, first to last, and the key freed at the end
        // takes what stands above the count, normally nothing: where saves are stored one by
        // one, a stop half-way leaves one entry twice rather than one lost.
        for (int key = selected + 1; key <= n; ++key) {
            registry_.WriteEntry(key, registry_.ReadEntry(key + 1));
        }
        --n;
    }
    registry_.WriteCount(n);
    Commit();
    RefreshModList(n);
    Commit();
}

}  // namespace vx
