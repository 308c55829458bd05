// The two windows as real Win32 windows, checked through the Win32 API (needs a display).
#include <gtest/gtest.h>
#include <windows.h>

#include <span>
#include <string>
#include <vector>

#include "app/Layout.h"
#include "fakes/FakeControls.h"
#include "fakes/FakePlatform.h"
#include "platform/win32/Program.h"

namespace vx::win32 {
namespace {

using Boxes = std::vector<std::pair<std::string, std::string>>;

std::wstring TextOf(HWND window) {
    wchar_t text[256] = {};
    return {text, static_cast<std::size_t>(GetWindowTextW(window, text, 256))};
}

// The style bits a control must have under a mask: {mask, bits}.
using Style = std::pair<LONG_PTR, LONG_PTR>;
// Tab stops at each of them in the order they are made, the layout's order.
constexpr Style kButton{BS_TYPEMASK | WS_TABSTOP, BS_PUSHBUTTON | WS_TABSTOP};  // not default

// A fixed client size at the window's DPI; each control of its style where the layout puts it
// at `dpi`.
void ExpectLaidOut(HWND form, layout::Size client, std::span<const layout::Control> places,
                   int firstId, std::span<const Style> styles, UINT dpi) {
    const auto px = [](int twips, UINT at) -> LONG {
        return layout::TwipsToPixels(twips, static_cast<int>(at));
    };
    RECT rect{};
    GetClientRect(form, &rect);
    if (dpi == GetDpiForWindow(form)) {  // Wine sizes the frame for the window's first DPI
        EXPECT_EQ((std::vector{rect.right, rect.bottom}),
                  (std::vector{px(client.width, dpi), px(client.height, dpi)}));
    }
    EXPECT_EQ(GetWindowLongPtrW(form, GWL_STYLE) & (WS_THICKFRAME | WS_MAXIMIZEBOX), 0);
    for (std::size_t i = 0; i < places.size(); ++i) {
        const layout::Control& place = places[i];
        const HWND child = GetDlgItem(form, firstId + static_cast<int>(i));
        EXPECT_EQ(GetWindowLongPtrW(child, GWL_STYLE) & styles[i].first, styles[i].second);
        GetWindowRect(child, &rect);
        MapWindowPoints(HWND_DESKTOP, form, reinterpret_cast<POINT*>(&rect), 2);
        EXPECT_EQ(
            (std::vector{rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top}),
            (std::vector{px(place.left, dpi), px(place.top, dpi), px(place.width, dpi),
                         px(place.height, dpi)}));
    }
}

void Click(HWND form, int id) {
    SendMessageW(GetDlgItem(form, id), BM_CLICK, 0, 0);
}

// Feeds one key press to the dialog keys of the message loop, as a user's key would reach them.
void PressKey(HWND form, WPARAM key) {
    MSG message{GetFocus(), WM_KEYDOWN, key, 0, 0, {}};
    EXPECT_TRUE(IsDialogMessageW(form, &message));
}

// The program over fake services, with the game's folder accepted when `accepted`.
class FormsTest : public ::testing::Test {
  protected:
    test::FakePlatform platform;
    test::FakeMessageBoxes boxes;
    test::FakeOpenFileDialog dialog;
    Startup startup{platform};
    Program program{startup, platform, boxes, dialog};

    HWND Start(bool accepted, const wchar_t* className) {
        platform.files = {{"C:\\game\\vexmoor.exe", "exe"}, {"C:\\game\\patch_vx.zpk", "live"}};
        platform.folders.insert("C:\\game\\mods");
        program.Start(accepted ? (startup.SetGamePath("C:\\game"), FirstWindow::VXModMain)
                               : startup.Run());
        return FindWindowW(className, nullptr);
    }
};

TEST_F(FormsTest, GameFolderWindowAsksUntilItHandsOverAndClosingTheMainWindowEnds) {
    const HWND dir = Start(false, VXDirWindow::kClassName);
    EXPECT_EQ(TextOf(dir), L"Vexmoor Patchkeeper - VX Directory");
    constexpr Style styles[] = {
        {SS_TYPEMASK | SS_NOPREFIX, SS_LEFT | SS_NOPREFIX}, {WS_TABSTOP, WS_TABSTOP}, kButton};
    ExpectLaidOut(dir, layout::vxdir::kClientSize, layout::vxdir::kTabOrder, VXDirWindow::kLabel1Id,
                  styles, GetDpiForWindow(dir));
    const HWND text1 = GetDlgItem(dir, VXDirWindow::kText1Id);
    EXPECT_EQ(TextOf(text1), L"C:\\program files\\vexmoor");

    // Enter presses the focused button only.
    SetForegroundWindow(dir);
    SetWindowTextW(text1, L"C:\\nowhere");
    SetFocus(text1);
    PressKey(dir, VK_RETURN);
    EXPECT_TRUE(boxes.shown.empty()) << "Enter in the text box pressed Ok";
    PressKey(dir, VK_TAB);
    PressKey(dir, VK_RETURN);
    EXPECT_EQ(boxes.shown, (Boxes{{"Path Invalid: C:\\nowhere", "Invalid Path"}}));

    SetWindowTextW(text1, L"C:\\game");
    Click(dir, VXDirWindow::kCommand1Id);
    const HWND main = FindWindowW(VXModMainWindow::kClassName, nullptr);
    EXPECT_FALSE(IsWindowVisible(dir));
    EXPECT_TRUE(IsWindowVisible(main));
    constexpr Style kLabel{SS_TYPEMASK | SS_NOPREFIX, SS_CENTER | SS_NOPREFIX};
    constexpr Style kList{LBS_SORT | LBS_MULTIPLESEL | LBS_EXTENDEDSEL | WS_TABSTOP, WS_TABSTOP};
    constexpr Style mainStyles[] = {kLabel, kLabel, kList, kButton, kButton, kButton};
    // Then moved to a monitor with 150 % scaling: every control is placed and fitted anew.
    RECT moved{10, 20, 700, 600};
    for (const UINT dpi : {GetDpiForWindow(main), 144U}) {
        if (dpi == 144) {
            SendMessageW(main, WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                         reinterpret_cast<LPARAM>(&moved));
        }
        ExpectLaidOut(main, layout::vxmodmain::kClientSize, layout::vxmodmain::kTabOrder,
                      VXModMainWindow::kLabel1Id, mainStyles, dpi);
    }
    SendMessageW(main, WM_CLOSE, 0, 0);
    MSG quit{};
    EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "closing ends it";
}

TEST_F(FormsTest, MainWindowLoadsOnceAndEachButtonRunsItsCommandOrReportsItsFailure) {
    const HWND main = Start(true, VXModMainWindow::kClassName);
    const std::string mod = "C:\\mods\\Ünïcødé & ✓.zpk";
    platform.files[mod] = "a mod";
    program.OpenMainWindow();
    const auto list1 = [main](UINT message, WPARAM index = 0) {
        return SendDlgItemMessageW(main, VXModMainWindow::kList1Id, message, index, 0);
    };

    Click(main, VXModMainWindow::kSwtichId);
    EXPECT_EQ(boxes.shown, (Boxes{{"Select something!", "Select Something"}}));
    dialog.answers = {mod};
    Click(main, VXModMainWindow::kCommand2Id);
    ASSERT_EQ(list1(LB_GETCOUNT), 2) << "loaded twice, or the dialog's file not added";
    list1(LB_SETCURSEL, 1);
    Click(main, VXModMainWindow::kSwtichId);
    EXPECT_EQ(platform.files["C:\\game\\patch_vx.zpk"], "a mod") << "the name changed in the list";
    EXPECT_EQ(TextOf(GetDlgItem(main, VXModMainWindow::kLabel2Id)), L"Ünïcødé & ✓.zpk");
    list1(LB_SETCURSEL, 0);
    Click(main, VXModMainWindow::kCommand1Id);
    EXPECT_EQ(list1(LB_GETCOUNT), 1);
    platform.failCopyInto.insert("C:\\game\\patch_vx.zpk");
    list1(LB_SETCURSEL, 0);
    Click(main, VXModMainWindow::kSwtichId);
    EXPECT_EQ(boxes.shown.back().second, "Vexmoor Patchkeeper") << "the failure reported";
}

}  // namespace
}  // namespace vx::win32
