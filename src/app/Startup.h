#pragma once

#include <string>

#include "app/Services.h"

namespace vx {

// The paths every window reads, joined as the folder was typed. Set once the game folder is
// known; they do not change for the rest of the run.
struct SharedPaths {
    std::string GamePath;
    std::string ModsPath;
    std::string PatchPath;   // the live archive
    std::string BackupPath;  // the first run's copy of the game's own archive
};

enum class FirstWindow { Main, GameFolder };

// Where the program's own logic begins: decides which window opens first and owns the
// shared paths.
class Startup {
  public:
    explicit Startup(Services services);

    // Reads the remembered game folder; throws vx::Error when the store cannot be read.
    FirstWindow Run();

    // Derives the shared paths from an accepted game folder, taken as typed.
    void SetGamePath(const std::string& folder);

    const SharedPaths& Paths() const { return paths_; }

  private:
    Services services_;
    SharedPaths paths_;
};

}  // namespace vx
