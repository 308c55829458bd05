#include "platform/windows-services/SteamSearch.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "platform/windows-services/Handle.h"
#include "platform/windows-services/LongPath.h"
#include "platform/windows-services/RegistrySettings.h"
#include "platform/windows-services/Utf.h"
#include "state/Error.h"
#include "state/SteamLibraries.h"

namespace vx::windows {
namespace {

class FileSystemFolders : public SteamFolders {
  public:
    // Not through <fstream>: its locale machinery would double the size of the program.
    std::optional<std::string> ReadText(const std::string& path) override {
        UniqueFile file(CreateFileW(ApiPath(path).c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) {
            return std::nullopt;
        }
        std::string text;
        char buffer[16384];
        DWORD read = 0;
        while (::ReadFile(file.Get(), buffer, sizeof buffer, &read, nullptr) != FALSE && read > 0) {
            text.append(buffer, read);
        }
        return text;
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
            RegistrySettings(registryRoot, "Valve").Get("Steam", "SteamPath");
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

}  // namespace vx::windows
