// The search through Steam's folders, on real folders in a temporary home.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "platform/posix/SteamSearch.h"
#include "support/TempFolder.h"

namespace vx::posix {
namespace {

const std::string kNewVdf = ".local/share/Steam/steamapps/libraryfolders.vdf";
const std::string kLibrary = "sd/steamapps/common/Vexmoor";
const std::string kFlatpakGame =
    ".var/app/com.valvesoftware.Steam/.local/share/Steam/steamapps/common/Vexmoor";
const std::string kRootGame = ".local/share/Steam/steamapps/common/vexmoor";

TEST(SteamSearchTest, FindsTheFirstGameFolderInRootsAndTheirLibraries) {
    // Which home, its files (path under home: content, with $H for home), and the game folder
    // found under home, empty for none.
    using Files = std::vector<std::pair<std::string, std::string>>;
    for (const auto& [name, files, found] :
         std::vector<std::tuple<std::string, Files, std::string>>{
             {"no game in Steam",
              {{"Games/vexmoor/vexmoor.exe", ""},
               {".steam/steam/steamapps/common/V/vexmoor.exe/x", ""}},
              ""},
             {"new format, other case, after a missing library",
              {{kNewVdf, R"("libraryfolders" { "0" { "path" "$H/gone" } "1" { "path" "$H/sd" } })"},
               {".local/share/Steam/steamapps/common/Other/other.exe", ""},
               {kLibrary + "/VexMoor.EXE", ""}},
              kLibrary},
             {"old format",
              {{".steam/steam/steamapps/libraryfolders.vdf",
                R"("LibraryFolders" { "TimeNextStatsReport" "1" "1" "$H/sd" })"},
               {kLibrary + "/vexmoor.exe", ""}},
              kLibrary},
             {"the root before its libraries",
              {{kNewVdf, R"("libraryfolders" { "1" { "path" "$H/sd" } })"},
               {kLibrary + "/vexmoor.exe", ""},
               {kRootGame + "/vexmoor.exe", ""}},
              kRootGame},
             {"Flatpak", {{kFlatpakGame + "/vexmoor.exe", ""}}, kFlatpakGame}}) {
        test::TempFolder home;
        for (auto [path, content] : files) {
            for (std::size_t at; (at = content.find("$H")) != std::string::npos;) {
                content.replace(at, 2, home.Path().string());
            }
            std::filesystem::create_directories(home.Path() /
                                                std::filesystem::path(path).parent_path());
            ASSERT_TRUE(test::WriteFile(home / path, content));
        }
        EXPECT_EQ(FindGameInSteam(home.Path()).value_or(""), found.empty() ? "" : home / found)
            << name;
    }
}

}  // namespace
}  // namespace vx::posix
