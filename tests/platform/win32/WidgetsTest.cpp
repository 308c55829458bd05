#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/win32/CaptionFont.h"
#include "platform/win32/ControlAdapters.h"

namespace vx::win32 {
namespace {

TEST(CaptionFontTest, ShrinksATooLargeFontJustUntilTheCaptionFits) {
    LOGFONTW font{-40, 0, 0, 0, 0, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma"};
    const std::vector<CaptionBox> boxes{{L"Remove A Mod", 137, 25, CaptionFit::Button}};
    for (const LONG largest : {-40L, -11L}) {
        font.lfHeight = largest;
        const UniqueFont fitted = CreateFittingFont(font, boxes, 96);
        const WindowDC dc(nullptr);
        const SelectedFont selected(dc.Get(), fitted.Get());
        SIZE extent{};
        GetTextExtentPoint32W(dc.Get(), L"Remove A Mod", 12, &extent);
        EXPECT_LE(extent.cx, 137);
        GetObjectW(fitted.Get(), sizeof(font), &font);
        EXPECT_LE(font.lfHeight, std::max(largest, -14L)) << "shrunk further than needed";
    }
}

// Listing, selection and text travel through the main window's tests; this is what they miss.
TEST(Win32ListBoxTest, ScrollsSidewaysAsFarAsTheWidestItem) {
    const HWND list = CreateWindowExW(0, L"LISTBOX", L"", WS_POPUP | WS_HSCROLL, 0, 0, 100, 100,
                                      nullptr, nullptr, nullptr, nullptr);
    Win32ListBox adapter;
    adapter.Attach(list);
    adapter.SetItems({"C:\\a.zpk", "C:\\" + std::string(200, 'W') + ".zpk"});
    EXPECT_GT(SendMessageW(list, LB_GETHORIZONTALEXTENT, 0, 0), 1000);
    DestroyWindow(list);
}

}  // namespace
}  // namespace vx::win32
