#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "state/SteamLibraries.h"

namespace vx {
namespace {

struct VdfCase {
    const char* name;
    std::string vdf;
    std::vector<std::string> libraries;
};

class SteamLibrariesTest : public ::testing::TestWithParam<VdfCase> {};

TEST_P(SteamLibrariesTest, ListsTheLibrariesOfWellFormedFilesOnly) {
    EXPECT_EQ(ParseLibraryFolders(GetParam().vdf), GetParam().libraries);
}

const std::string kDeep = [] {
    std::string text;
    for (int i = 0; i < 100000; ++i) {
        text += "\"a\" {";
    }
    return text;
}();

INSTANTIATE_TEST_SUITE_P(
    Formats, SteamLibrariesTest,
    ::testing::Values(
        VdfCase{"Old",
                R"("LibraryFolders" { "TimeNextStatsReport" "1700000000"
                   "ContentStatsID" "-42" "1" "D:\\Games\\Steam" "2" "E:\\SteamLibrary" })",
                {"D:\\Games\\Steam", "E:\\SteamLibrary"}},
        VdfCase{"New",
                "// written by Steam\n\"libraryfolders\"\n{\n\t\"0\"\n\t{\n\t\t\"path\"\t\t"
                "\"/home/x/.local/share/Steam\"\n\t\t\"label\"\t\t\"\"\n\t\t\"apps\"\n\t\t{\n"
                "\t\t\t\"228980\"\t\t\"1234\"\n\t\t}\n\t}\n\t\"1\" { \"PATH\" "
                "\"/run/media/deck/SD\" }\n\t\"2\" { \"label\" \"no path\" }\n}\n",
                {"/home/x/.local/share/Steam", "/run/media/deck/SD"}},
        VdfCase{"Escapes",
                R"("libraryfolders" { "0" { "path" "C:\\Steam \"Q\"\tx" } })",
                {"C:\\Steam \"Q\"\tx"}},
        VdfCase{"BareTokens", "libraryfolders { 1 /mnt/games }", {"/mnt/games"}},
        VdfCase{"OtherTopKey", R"("config" { "1" "/x" })", {}}, VdfCase{"Empty", "", {}},
        VdfCase{"UnendedString", R"("libraryfolders" { "1" "/x })", {}},
        VdfCase{"UnclosedBlock", R"("libraryfolders" { "1" "/x" )", {}},
        VdfCase{"ExtraClose", R"("libraryfolders" { "1" "/x" } })", {}},
        VdfCase{"KeyWithoutValue", R"("libraryfolders" { "1" })", {}},
        VdfCase{"TooDeep", kDeep, {}}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

}  // namespace
}  // namespace vx
