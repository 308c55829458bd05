#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "state/SteamLibraries.h"

namespace vx {
namespace {

TEST(SteamLibrariesTest, ListsTheLibrariesOfWellFormedFilesOnly) {
    std::string deep;
    for (int i = 0; i < 100000; ++i) {
        deep += "\"a\" {";
    }
    using Libraries = std::vector<std::string>;
    for (const auto& [name, vdf, libraries] :
         std::vector<std::tuple<const char*, std::string, Libraries>>{
             {"Old",
              R"("LibraryFolders" { "TimeNextStatsReport" "1700000000"
                   "ContentStatsID" "-42" "1" "D:\\Games\\Steam" "2" "E:\\SteamLibrary" })",
              {"D:\\Games\\Steam", "E:\\SteamLibrary"}},
             {"New",
              "// written by Steam\n\"libraryfolders\"\n{\n\t\"0\"\n\t{\n\t\t\"path\"\t\t"
              "\"/home/x/.local/share/Steam\"\n\t\t\"label\"\t\t\"\"\n\t\t\"apps\"\n\t\t{\n"
              "\t\t\t\"228980\"\t\t\"1234\"\n\t\t}\n\t}\n\t\"1\" { \"PATH\" "
              "\"/run/media/deck/SD\" }\n\t\"2\" { \"label\" \"no path\" }\n}\n",
              {"/home/x/.local/share/Steam", "/run/media/deck/SD"}},
             {"Escapes",
              R"("libraryfolders" { "0" { "path" "C:\\Steam \"Q\"\tx" } })",
              {"C:\\Steam \"Q\"\tx"}},
             {"BareBomCrLf", "\xEF\xBB\xBFlibraryfolders\r\n{ 1 /mnt/games }\r\n", {"/mnt/games"}},
             {"UnendedString", R"("libraryfolders" { "1" "/x })", {}},
             {"UnclosedBlock", R"("libraryfolders" { "1" "/x" )", {}},
             {"ExtraClose", R"("libraryfolders" { "1" "/x" } })", {}},
             {"TooDeep", deep, {}}}) {
        EXPECT_EQ(ParseLibraryFolders(vdf), libraries) << name;
    }
}

}  // namespace
}  // namespace vx
