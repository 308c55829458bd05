#include "platform/win32/SteamSearch.h"

#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <vector>

#include "platform/win32/Handle.h"
#include "platform/win32/LongPath.h"
#include "platform/win32/RegistrySettings.h"
#include "platform/win32/Utf.h"
#include "state/Error.h"
#include "state/SteamLibraries.h"

namespace vx::win32 {
namespace {

class FileSystemFolders : public SteamFolders {
  public:
    std::optional<std::string> ReadText(const std::string& path) override {
        std::ifstream in(std::filesystem::path(ApiPath(path)), std::ios::binary);
        return ReadRest(in);
    }

    // A folder that cannot be read counts as empty.
    std::vector<FolderEntry> List(const std::string& folder) override {
        std::vector<FolderEntry> entries;
        WIN32_FIND_DATAW entry{};
        UniqueFind find(FindFirstFileExW(ApiPath(folder + "\\*").c_str(), FindExInfoBasic, &entry,
                                         FindExSearchNameMatch, nullptr, 0));
        if (!find) {
            return entries;
        }
        do {
            const std::wstring_view name = entry.cFileName;
            if (name != L"." && name != L"..") {
                entries.push_back(
                    {ToUtf8(name), (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
            }
        } while (FindNextFileW(find.Get(), &entry) != FALSE);
        return entries;
    }

    char Separator() const override { return '\\'; }
};

}  // namespace

std::optional<std::string> FindGameInSteam(std::string_view registryRoot) {
    try {
        std::optional<std::string> steam =
            RegistrySettings(registryRoot).Get("Valve", "Steam", "SteamPath");
        if (!steam || steam->empty()) {
            return std::nullopt;
        }
        // Steam writes this one path with forward slashes, in lower case.
        std::replace(steam->begin(), steam->end(), '/', '\\');
        FileSystemFolders folders;
        return FindGameFolder({*steam}, folders);
    } catch (const Error&) {
        // A value that is no text, or a library path that is no UTF-8: no suggestion.
        return std::nullopt;
    }
}

}  // namespace vx::win32
