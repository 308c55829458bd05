#pragma once

#include <cstdint>
#include <string>

#include "Controls.h"
#include "Startup.h"
#include "state/ModRegistry.h"

namespace vx {

// The main window's logic: the first-run backup, the list with the live archive named
// above it, and the three commands. Every event reads the registry from the store anew.
class VXModMain {
  public:
    struct Controls {
        Label& Label2;
        ListBox& List1;
        OpenFileDialog& CommonDialog1;
    };

    VXModMain(const SharedPaths& paths, PlatformServices& platform, MessageBoxes& boxes,
              Controls controls);

    // Runs once before the window is first shown.
    void Load();

    // Rebuilds List1 and Label2 from entries 1 to n, repairing entries whose files are gone.
    void RefreshModList(std::int16_t n);

    void SwtichClick();    // Switch To
    void Command2Click();  // Add A Mod
    void Command1Click();  // Remove A Mod

  private:
    // With no entries registered, backs up the game's archive and registers the backup as
    // entry 1 before anything may replace that archive or be registered ahead of it. Answers
    // the count after that; throws, registering nothing, while the backup cannot be made.
    std::int16_t BackUpIfNoEntries(std::int16_t n);
    // The file name that Label2 shows for a registered path.
    std::string DisplayName(const std::string& path);

    const SharedPaths& paths_;
    PlatformServices& platform_;
    MessageBoxes& boxes_;
    Controls controls_;
    ModRegistry registry_;
};

}  // namespace vx
