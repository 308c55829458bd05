#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "platform/win32/CaptionFont.h"
#include "platform/win32/Win32OpenFileDialog.h"

namespace vx::win32 {
namespace {

using namespace std::string_literals;

TEST(FilterListTest, PairsArePartsTrimmedAndNulSeparated) {
    EXPECT_EQ(ToFilterList("Vexmoor Patch (*.zpk) | *.zpk"), L"Vexmoor Patch (*.zpk)\0*.zpk\0\0"s);
    EXPECT_EQ(ToFilterList("Patch|*.zpk|All files | *.*"), L"Patch\0*.zpk\0All files\0*.*\0\0"s);
    EXPECT_EQ(ToFilterList("Patch | *.zpk | orphan"), L"Patch\0*.zpk\0\0"s);
    EXPECT_EQ(ToFilterList(""), L"\0"s);
}

LOGFONTW FontOfHeight(int height) {
    LOGFONTW font{};
    font.lfHeight = height;
    font.lfCharSet = DEFAULT_CHARSET;
    lstrcpyW(font.lfFaceName, L"Tahoma");
    return font;
}

struct Measured {
    SIZE extent;
    TEXTMETRICW metrics;
    LONG lfHeight;
};

Measured Measure(HFONT font, const std::wstring& text) {
    Measured measured{};
    {
        const WindowDC dc(nullptr);
        const SelectedFont selected(dc.Get(), font);
        GetTextExtentPoint32W(dc.Get(), text.c_str(), static_cast<int>(text.size()),
                              &measured.extent);
        GetTextMetricsW(dc.Get(), &measured.metrics);
    }
    LOGFONTW logical{};
    GetObjectW(font, sizeof(logical), &logical);
    measured.lfHeight = logical.lfHeight;
    return measured;
}

TEST(CaptionFontTest, ShrinksATooLargeFontUntilEveryCaptionFits) {
    const std::vector<CaptionBox> boxes = {{L"VX Directory", 65, 17, CaptionFit::Label},
                                           {L"Remove A Mod", 137, 25, CaptionFit::Button},
                                           {L"", 297, 19, CaptionFit::Edit}};
    const UniqueFont font = CreateFittingFont(FontOfHeight(-40), boxes, 96);
    ASSERT_TRUE(font);
    const Measured label = Measure(font.Get(), L"VX Directory");
    EXPECT_LE(label.extent.cx, 65);
    EXPECT_LE(label.metrics.tmHeight, 17);
    EXPECT_LE(Measure(font.Get(), L"Remove A Mod").extent.cx, 137);
    EXPECT_LT(label.lfHeight, -8) << "shrunk further than needed";
}

TEST(CaptionFontTest, KeepsAFontThatFits) {
    const std::vector<CaptionBox> boxes = {{L"Ok", 97, 17, CaptionFit::Button}};
    const UniqueFont font = CreateFittingFont(FontOfHeight(-11), boxes, 96);
    ASSERT_TRUE(font);
    EXPECT_EQ(Measure(font.Get(), L"Ok").lfHeight, -11);
}

}  // namespace
}  // namespace vx::win32
