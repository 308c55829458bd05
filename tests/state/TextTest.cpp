#include <gtest/gtest.h>

#include "state/Text.h"

namespace vx {
namespace {

TEST(TextTest, LowerCasesLettersOfTheCommonScripts) {
    EXPECT_EQ(ToLower("C:\\Program Files\\VEXMOOR.EXE"), "c:\\program files\\vexmoor.exe");
    EXPECT_EQ(ToLower("ÄÖÜ ÉÀÇ ß ×"), "äöü éàç ß ×");
    EXPECT_EQ(ToLower("ŁŚŻ Ÿ"), "łśż ÿ");
    EXPECT_EQ(ToLower("ΑΒΓ ЖЁ"), "αβγ жё");
    EXPECT_EQ(ToLower("日本 🎮"), "日本 🎮");
    EXPECT_TRUE(EqualIgnoringCase("D:\\Mods\\Über.zpk", "d:\\mods\\über.ZPK"));
    EXPECT_FALSE(EqualIgnoringCase("a.zpk", "a.zpk "));
}

TEST(TextTest, KeepsBytesThatAreNotUtf8) {
    const std::string broken = "A\xC3\xFF\x80Z";
    EXPECT_EQ(ToLower(broken), "a\xC3\xFF\x80z");
}

}  // namespace
}  // namespace vx
