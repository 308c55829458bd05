// The search through Steam's folders, on real folders in a temporary home.
#include <gtest/gtest.h>

#include <regex>

#include "platform/posix/SteamSearch.h"
#include "support/TempFolder.h"

namespace vx::posix {
namespace {

const std::string kVdf = ".local/share/Steam/steamapps/libraryfolders.vdf";
const std::string kLibrary = "sd/steamapps/common/Vexmoor";
const std::string kRootGame = ".local/share/Steam/steamapps/common/vexmoor";
const std::string kFlatpakGame =
    ".var/app/com.valvesoftware.Steam/.local/share/Steam/steamapps/common/Vexmoor";

// A home's files (path under home: content, with $H for home), and the
// game folder found under it.
struct Home {
    std::vector<std::pair<std::string, std::string>> files;
    std::string found;
};

TEST(SteamSearchTest, FindsTheFirstGameFolderInRootsAndTheirLibraries) {
    for (const Home& given :
         {// In another letter case, in a library after a missing one.
          Home{{{kVdf, R"("libraryfolders" { "0" { "path" "$H/gone" } "1" { "path" "$H/sd" } })"},
                {kLibrary + "/VexMoor.EXE", ""}},
               kLibrary},
          // The root before its libraries.
          Home{{{kVdf, R"("libraryfolders" { "1" { "path" "$H/sd" } })"},
                {kLibrary + "/vexmoor.exe", ""},
                {kRootGame + "/vexmoor.exe", ""}},
               kRootGame},
          Home{{{kFlatpakGame + "/vexmoor.exe", ""}}, kFlatpakGame}}) {
        test::TempFolder home;
        for (auto [path, content] : given.files) {
            content = std::regex_replace(content, std::regex(R"(\$H)"), home.Utf8());
            std::filesystem::create_directories(std::filesystem::path(home / path).parent_path());
            ASSERT_TRUE(test::WriteFile(home / path, content));
        }
        EXPECT_EQ(FindGameInSteam(home.Path()).value_or(""), home / given.found);
    }
}

}  // namespace
}  // namespace vx::posix
