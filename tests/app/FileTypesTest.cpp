#include "app/FileTypes.h"

#include <gtest/gtest.h>

namespace vx {
namespace {

TEST(ParseFileTypesTest, PairsOfTrimmedDescriptionAndPattern) {
    using Types = std::vector<FileType>;
    EXPECT_EQ(ParseFileTypes("Vexmoor Patch (*.zpk) | *.zpk"),
              (Types{{"Vexmoor Patch (*.zpk)", "*.zpk"}}));
    EXPECT_EQ(ParseFileTypes("Archives|*.zpk;*.zip| All files |*.*|Dangling"),
              (Types{{"Archives", "*.zpk;*.zip"}, {"All files", "*.*"}}));
    EXPECT_EQ(ParseFileTypes("No pattern |  | Patch | *.zpk"), (Types{{"Patch", "*.zpk"}}));
    EXPECT_EQ(ParseFileTypes(""), Types{});
}

}  // namespace
}  // namespace vx
