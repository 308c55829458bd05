#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/Controls.h"
#include "app/Services.h"
#include "app/Startup.h"
#include "state/ModRegistry.h"

namespace vx {

// The main window's logic: the first-run backup, the list with the live archive named
// above it, and its commands (Switch To, Add A Mod, Remove A Mod, dropped files). Every
// command reads the registry from the store anew.
class MainWindow {
  public:
    struct Controls {
        Label& CurrentMod;
        ListBox& ModList;
        OpenFileDialog& OpenDialog;
        CopyWatcher& Copies;
    };

    MainWindow(const SharedPaths& paths, Services services, MessageBoxes& boxes, Controls controls);

    // Runs once before the window is first shown.
    void Load();

    // Rebuilds the mod list from entries 1 to n, repairing entries whose files are gone, and
    // names in the current-mod label the last entry of the live archive's size; with none, the
    // label keeps what it showed.
    void RefreshModList(std::int16_t n);

    void OnSwitch();  // Switch To
    void OnAdd();     // Add A Mod
    void OnRemove();  // Remove A Mod
    // Files dropped on the window, registered as Add A Mod registers each; folders and
    // missing files are skipped and named in one box.
    void OnDrop(const std::vector<std::string>& paths);

    // Whether a command is under way (a copy, a box or a dialog of it is up): no other may
    // start meanwhile, and a drop is refused.
    bool Busy() const { return busy_; }

    // The row of the entry the current-mod label names after the last list rebuild, -1 for
    // none: what the command line marks as live.
    int LiveRow() const { return liveRow_; }
    // Whether the last Switch To made its archive live (or found it live already).
    bool Switched() const { return switched_; }

  private:
    // Runs `command` unless another one is under way, as it is while its copy, box or
    // dialog waits for the user and the window still takes events. Its settings saves are
    // held back until Commit stores them in one write; whatever is not committed when it ends,
    // by a failure or an early return, is forgotten, so that a command changes the store whole
    // or not at all.
    void RunCommand(const std::function<void()>& command);
    void EndCommand() noexcept;
    // Stores the command's saves so far in one write.
    void Commit();
    void BackUpAndList();
    void SwitchSelected();
    void AddChosen();
    void AddDropped(const std::vector<std::string>& paths);
    void RemoveSelected();
    // Makes `source` live, asking whether to try again while another program holds a file.
    void SwitchTo(const std::string& source);
    // With no entries registered, backs up the game's archive and registers the backup as
    // entry 1 before anything may replace that archive or be registered ahead of it. Answers
    // the count after that; throws, registering nothing, while the backup cannot be made.
    std::int16_t BackUpIfNoEntries(std::int16_t n);
    // The count Add A Mod and a drop start from: a negative one is refused, and with none
    // registered the backup is made, stored and listed first.
    std::int16_t CountBeforeAdding();
    // Appends `file` as entry n+1 unless it is registered already; answers whether it did.
    bool AddEntry(std::int16_t& n, const std::string& file);
    // Whether `a` and `b` lead to one file, by the file system's word.
    bool SameFile(const std::string& a, const std::string& b) noexcept;
    // Whether the live archive is missing or has the size of a registered archive other than
    // itself, that is, whether a switch may replace it without losing the only copy.
    bool LiveArchiveIsRegistered(std::int16_t n);
    // Before a switch replaces an archive that matches no entry (a game update, or one put
    // there by hand), copies it into the mods folder, registers the copy as the last entry and
    // lists it. Answers the count after that; throws, changing nothing, when it cannot.
    std::int16_t KeepLiveArchive(std::int16_t n);
    // Throws, before anything is written, when `needed` bytes cannot fit on the disk of
    // `folder`; where the free space cannot be told the copy's own reservation is the guard.
    void CheckRoom(std::int64_t needed, const std::string& folder,
                   std::string_view whatNeedsIt = "the archive needs");
    // The same for a switch to `source`, and the copy of the live archive kept first when
    // `keepLive`: on one disk both must fit together.
    void CheckRoomToSwitch(const std::string& source, bool keepLive);
    // What the Retry box says when another program holds the file at `held` open.
    std::string HeldFileMessage(const std::string& held);
    // Runs `copy` of `source` on a thread of its own while the windows stay alive; throws
    // what it throws.
    void Copy(const std::string& source, const std::function<void(CopyProgress&)>& copy);
    // Stores the saves made so far, then shows the box.
    void ShowBox(const std::string& text, std::string_view title);
    // The last component of `path`, as the path spells it.
    std::string FileNameOf(const std::string& path) const;
    // The file name that the current-mod label shows for a registered path.
    std::string DisplayName(const std::string& path);

    const SharedPaths& paths_;
    SettingsStore& settings_;
    Files& files_;
    SystemInfo& system_;
    MessageBoxes& boxes_;
    Controls controls_;
    ModRegistry registry_;
    bool busy_ = false;
    int liveRow_ = -1;
    bool switched_ = false;
};

}  // namespace vx
