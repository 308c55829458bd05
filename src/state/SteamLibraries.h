#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vx {

// The folders Steam keeps games in, as listed in its libraryfolders.vdf, in the order the
// file gives them. Both layouts Steam has written are read: the old one, where each numbered
// key holds a path, and the present one, where each holds a block with a "path" key. A file
// that is not well-formed lists nothing: a guess at what a damaged file meant could name a
// folder the player never chose.
std::vector<std::string> ParseLibraryFolders(std::string_view vdf);

struct FolderEntry {
    std::string name;
    bool isFolder = false;
};

// What the search needs of the file system, so that it runs the same over POSIX or Win32.
class SteamFolders {
  public:
    virtual ~SteamFolders() = default;

    // The file's content; nullopt when it cannot be read.
    virtual std::optional<std::string> ReadText(const std::string& path) = 0;
    // The entries of `folder` but "." and ".."; empty when it cannot be read.
    virtual std::vector<FolderEntry> List(const std::string& folder) = 0;
    virtual char Separator() const = 0;
};

// The first folder under <library>/steamapps/common that holds the game's executable, in
// any letter case, looking in each root and then in each library its libraryfolders.vdf
// lists; nullopt when the game is in none.
std::optional<std::string> FindGameFolder(const std::vector<std::string>& steamRoots,
                                          SteamFolders& folders);

}  // namespace vx
