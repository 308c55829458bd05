#include "platform/posix/SteamSearch.h"

#include <fstream>
#include <iterator>
#include <system_error>
#include <vector>

#include "state/SteamLibraries.h"

namespace vx::posix {
namespace {

class FileSystemFolders : public SteamFolders {
  public:
    std::optional<std::string> ReadText(const std::string& path) override {
        std::ifstream in(path, std::ios::binary);
        if (!in) {
            return std::nullopt;
        }
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>{});
    }

    // A folder that cannot be read, or vanishes while it is read, counts as empty.
    std::vector<FolderEntry> List(const std::string& folder) override {
        std::vector<FolderEntry> entries;
        std::error_code error;
        for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end;
             entry.increment(error)) {
            std::error_code ignored;
            entries.push_back({entry->path().filename().string(), entry->is_directory(ignored)});
        }
        return entries;
    }

    char Separator() const override { return '/'; }
};

}  // namespace

std::optional<std::string> FindGameInSteam(const std::filesystem::path& home) {
    const std::vector<std::string> roots{
        (home / ".steam/steam").string(),
        (home / ".local/share/Steam").string(),
        (home / ".var/app/com.valvesoftware.Steam/.local/share/Steam").string(),
        (home / "snap/steam/common/.local/share/Steam").string(),
    };
    FileSystemFolders folders;
    return FindGameFolder(roots, folders);
}

}  // namespace vx::posix
