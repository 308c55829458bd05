#include <gtest/gtest.h>

#include "state/Text.h"

namespace vx {
namespace {

TEST(TextTest, FoldsLetterCaseOfEveryScript) {
    EXPECT_EQ(FoldCase("C:\\Program Files\\VEXMOOR.EXE"), "c:\\program files\\vexmoor.exe");
    EXPECT_EQ(FoldCase("ÄÖÜ ÉÀÇ ß × ŁŚŻ łż Ÿ"), "äöü éàç ß × łśż łż ÿ");
    // Accented Greek, Latin Extended-B, Armenian, Georgian, Cherokee (folds to capitals),
    // full-width Latin and Deseret (four bytes): one to four bytes, both directions.
    EXPECT_EQ(FoldCase("ΆΈΪ ǄƁȺ ԱՔ ႠჅ ꭰ ＡＺ 𐐀"), "άέϊ ǆɓⱥ աք ⴀⴥ Ꭰ ａｚ 𐐨");
    EXPECT_EQ(FoldCase("日本 🎮 ſ K"), "日本 🎮 s k");  // long s and the Kelvin sign
    EXPECT_TRUE(EqualIgnoringCase("D:\\Mods\\Über.zpk", "d:\\mods\\über.ZPK"));
    EXPECT_FALSE(EqualIgnoringCase("a.zpk", "a.zpk "));
}

TEST(TextTest, KeepsBytesThatAreNotUtf8) {
    // Stray bytes, a truncated sequence, an overlong form and an encoded surrogate.
    const std::string broken = "A\xC3\xFF\x80Z\xC1\x81\xED\xA0\x80\xE2\x82";
    EXPECT_EQ(FoldCase(broken), "a\xC3\xFF\x80z\xC1\x81\xED\xA0\x80\xE2\x82");
}

}  // namespace
}  // namespace vx
