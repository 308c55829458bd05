// The search through Steam's folders, on real folders in a temporary home.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "TempFolder.h"
#include "platform/posix/SteamSearch.h"

namespace vx::posix {
namespace {

using test::TempFolder;

struct SearchCase {
    const char* name;
    std::vector<std::pair<std::string, std::string>> files;  // path under home; "$H" = home
    std::string found;                                       // under home; empty for none
};

class SteamSearchTest : public ::testing::TestWithParam<SearchCase> {};

TEST_P(SteamSearchTest, FindsTheFirstGameFolderInRootsAndTheirLibraries) {
    TempFolder home;
    for (auto [path, content] : GetParam().files) {
        for (std::size_t at; (at = content.find("$H")) != std::string::npos;) {
            content.replace(at, 2, home.Path().string());
        }
        std::filesystem::create_directories(home.Path() /
                                            std::filesystem::path(path).parent_path());
        ASSERT_TRUE(test::WriteFile(home / path, content));
    }
    const std::string expected = GetParam().found;
    EXPECT_EQ(FindGameInSteam(home.Path()).value_or(""), expected.empty() ? "" : home / expected);
}

const std::string kNewVdf = ".local/share/Steam/steamapps/libraryfolders.vdf";
const std::string kLibrary = "sd/steamapps/common/Vexmoor";
const std::string kFlatpakGame =
    ".var/app/com.valvesoftware.Steam/.local/share/Steam/steamapps/common/Vexmoor";

INSTANTIATE_TEST_SUITE_P(
    Homes, SteamSearchTest,
    ::testing::Values(SearchCase{"NoGameInSteam",
                                 {{"Games/vexmoor/vexmoor.exe", ""},
                                  {".steam/steam/steamapps/common/V/vexmoor.exe/x", ""}},
                                 ""},
                      SearchCase{"NewFormatOtherCaseAfterMissingLibrary",
                                 {{kNewVdf, R"("libraryfolders" { "0" { "path" "$H/gone" }
                                 "1" { "path" "$H/sd" } })"},
                                  {".local/share/Steam/steamapps/common/Other/other.exe", ""},
                                  {kLibrary + "/VexMoor.EXE", ""}},
                                 kLibrary},
                      SearchCase{"OldFormat",
                                 {{".steam/steam/steamapps/libraryfolders.vdf",
                                   R"("LibraryFolders" { "TimeNextStatsReport" "1" "1" "$H/sd" })"},
                                  {kLibrary + "/vexmoor.exe", ""}},
                                 kLibrary},
                      SearchCase{"RootBeforeItsLibraries",
                                 {{kNewVdf, R"("libraryfolders" { "1" { "path" "$H/sd" } })"},
                                  {kLibrary + "/vexmoor.exe", ""},
                                  {".local/share/Steam/steamapps/common/vexmoor/vexmoor.exe", ""}},
                                 ".local/share/Steam/steamapps/common/vexmoor"},
                      SearchCase{"DamagedFile",
                                 {{kNewVdf, R"("libraryfolders" { "1" { "path" "$H/sd" )"},
                                  {kLibrary + "/vexmoor.exe", ""}},
                                 ""},
                      SearchCase{"Flatpak", {{kFlatpakGame + "/vexmoor.exe", ""}}, kFlatpakGame}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

}  // namespace
}  // namespace vx::posix
