// The two windows as real Win32 windows, checked through the Win32 API (needs a display).
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "app/Layout.h"
#include "fakes/FakeControls.h"
#include "fakes/FakePlatform.h"
#include "platform/win32/Program.h"
#include "platform/win32/UiHandles.h"
#include "platform/win32/VXDirWindow.h"
#include "platform/win32/VXModMainWindow.h"

namespace vx::win32 {
namespace {

using Boxes = std::vector<std::pair<std::string, std::string>>;
using Ids = std::vector<int>;

std::wstring TextOf(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

DWORD StyleOf(HWND window) {
    return static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE));
}

UINT DpiOf(HWND window) {
    return GetDpiForWindow(window);
}

// Each control sits where the layout puts it, scaled to `dpi`, and shows its whole caption in
// the font the window gave it.
void ExpectLaidOut(HWND form, int firstId, std::span<const layout::Control> places, UINT dpi) {
    const auto px = [dpi](int twips) {
        return layout::TwipsToPixels(twips, static_cast<int>(dpi));
    };
    for (std::size_t i = 0; i < places.size(); ++i) {
        const layout::Control& place = places[i];
        SCOPED_TRACE(std::string(place.name));
        const HWND child = GetDlgItem(form, firstId + static_cast<int>(i));
        ASSERT_NE(child, nullptr);
        RECT rect{};
        GetWindowRect(child, &rect);
        MapWindowPoints(HWND_DESKTOP, form, reinterpret_cast<POINT*>(&rect), 2);
        EXPECT_EQ(rect.left, px(place.left));
        EXPECT_EQ(rect.top, px(place.top));
        EXPECT_EQ(rect.right - rect.left, px(place.width));
        EXPECT_EQ(rect.bottom - rect.top, px(place.height));

        const auto font = reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0));
        ASSERT_NE(font, nullptr);
        const std::wstring caption = TextOf(child);
        const WindowDC dc(child);
        const SelectedFont selected(dc.Get(), font);
        SIZE extent{};
        GetTextExtentPoint32W(dc.Get(), caption.c_str(), static_cast<int>(caption.size()), &extent);
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc.Get(), &metrics);
        if (ClassOf(child) != L"Edit") {  // a text box scrolls sideways
            EXPECT_LE(extent.cx, px(place.width)) << "caption cut off";
        }
        EXPECT_LE(metrics.tmHeight - metrics.tmInternalLeading, px(place.height));
    }
}

void ExpectClientSize(HWND form, layout::Size size) {
    RECT client{};
    GetClientRect(form, &client);
    const int dpi = static_cast<int>(DpiOf(form));
    EXPECT_EQ(client.right, layout::TwipsToPixels(size.width, dpi));
    EXPECT_EQ(client.bottom, layout::TwipsToPixels(size.height, dpi));
    EXPECT_EQ(StyleOf(form) & (WS_THICKFRAME | WS_MAXIMIZEBOX), 0U) << "must not be resizable";
}

// The controls Tab stops at, from the first, once round.
Ids TabWalk(HWND form) {
    Ids ids;
    const HWND first = GetNextDlgTabItem(form, nullptr, FALSE);
    for (HWND at = first; at != nullptr && ids.size() < 10;) {
        ids.push_back(GetDlgCtrlID(at));
        at = GetNextDlgTabItem(form, at, FALSE);
        if (at == first) {
            break;
        }
    }
    return ids;
}

void Click(HWND form, int id) {
    SendMessageW(GetDlgItem(form, id), BM_CLICK, 0, 0);
}

void SetText(HWND form, int id, const wchar_t* text) {
    SetWindowTextW(GetDlgItem(form, id), text);
}

// Feeds one key press to the dialog keys of the message loop, as a user's key would reach them.
bool PressKey(HWND form, WPARAM key) {
    MSG message{GetFocus(), WM_KEYDOWN, key, 0, 0, {}};
    return IsDialogMessageW(form, &message) != FALSE;
}

bool QuitWasPosted() {
    MSG message{};
    return PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;
}

struct RecordingOpener : MainWindowOpener {
    int opened = 0;
    void OpenMainWindow() override { ++opened; }
};

class VXDirWindowTest : public ::testing::Test {
  protected:
    test::FakePlatform platform;
    Startup startup{platform};
    test::FakeMessageBoxes boxes;
    RecordingOpener opener;
    VXDirWindow window{startup, platform, boxes, opener};
    HWND form = window.Handle();

    void ShowActive() {
        window.Show();
        SetForegroundWindow(form);
    }
};

TEST_F(VXDirWindowTest, ShowsTheLayoutAtTheWindowsDpi) {
    using namespace layout::vxdir;
    EXPECT_EQ(TextOf(form), L"Vexmoor Patchkeeper - VX Directory");
    ExpectClientSize(form, kClientSize);
    ExpectLaidOut(form, VXDirWindow::kLabel1Id, kTabOrder, DpiOf(form));

    const HWND label1 = GetDlgItem(form, VXDirWindow::kLabel1Id);
    const HWND text1 = GetDlgItem(form, VXDirWindow::kText1Id);
    const HWND ok = GetDlgItem(form, VXDirWindow::kCommand1Id);
    EXPECT_EQ(ClassOf(label1), L"Static");
    EXPECT_EQ(TextOf(label1), L"VX Directory");
    EXPECT_EQ(ClassOf(text1), L"Edit");
    EXPECT_EQ(TextOf(text1), L"C:\\program files\\vexmoor");
    EXPECT_NE(StyleOf(text1) & ES_AUTOHSCROLL, 0U);
    EXPECT_EQ(ClassOf(ok), L"Button");
    EXPECT_EQ(TextOf(ok), L"Ok");
    EXPECT_EQ(StyleOf(ok) & BS_TYPEMASK, static_cast<DWORD>(BS_PUSHBUTTON));

    EXPECT_EQ(TabWalk(form), (Ids{VXDirWindow::kText1Id, VXDirWindow::kCommand1Id}));
}

TEST_F(VXDirWindowTest, OkWithAFolderWithoutTheGameSaysSoAndStays) {
    ShowActive();
    SetText(form, VXDirWindow::kText1Id, L"C:\\nowhere");
    Click(form, VXDirWindow::kCommand1Id);
    EXPECT_EQ(boxes.shown, (Boxes{{"Path Invalid: C:\\nowhere", "Invalid Path"}}));
    EXPECT_TRUE(IsWindowVisible(form));
    EXPECT_EQ(TextOf(GetDlgItem(form, VXDirWindow::kText1Id)), L"C:\\nowhere");
    EXPECT_EQ(opener.opened, 0);
}

TEST_F(VXDirWindowTest, EnterPressesOnlyTheFocusedButtonAndTabMovesOn) {
    ShowActive();
    const HWND text1 = GetDlgItem(form, VXDirWindow::kText1Id);
    SetText(form, VXDirWindow::kText1Id, L"C:\\nowhere");
    SetFocus(text1);
    ASSERT_EQ(GetFocus(), text1);
    EXPECT_TRUE(PressKey(form, VK_RETURN));
    EXPECT_TRUE(boxes.shown.empty()) << "Enter in the text box pressed Ok";

    EXPECT_TRUE(PressKey(form, VK_TAB));
    ASSERT_EQ(GetFocus(), GetDlgItem(form, VXDirWindow::kCommand1Id));
    EXPECT_TRUE(PressKey(form, VK_RETURN));
    EXPECT_EQ(boxes.shown.size(), 1U);

    // Having had the focus must not make Ok the default for the text box.
    EXPECT_TRUE(PressKey(form, VK_TAB));
    ASSERT_EQ(GetFocus(), text1);
    EXPECT_TRUE(PressKey(form, VK_RETURN));
    EXPECT_EQ(boxes.shown.size(), 1U);
}

TEST_F(VXDirWindowTest, AFailureInOkIsReportedAndTheWindowStaysUsable) {
    ShowActive();
    platform.files["C:\\game\\vexmoor.exe"] = "exe";
    platform.failMakeFolder.insert("C:\\game\\mods");
    SetText(form, VXDirWindow::kText1Id, L"C:\\game");
    Click(form, VXDirWindow::kCommand1Id);
    ASSERT_EQ(boxes.shown.size(), 1U);
    EXPECT_NE(boxes.shown[0].first.find("C:\\game\\mods"), std::string::npos);
    EXPECT_EQ(boxes.shown[0].second, "Vexmoor Patchkeeper");
    EXPECT_TRUE(IsWindowVisible(form));

    SetText(form, VXDirWindow::kText1Id, L"C:\\nowhere");
    Click(form, VXDirWindow::kCommand1Id);
    EXPECT_EQ(boxes.shown.size(), 2U);
}

TEST_F(VXDirWindowTest, ClosingItEndsTheProgram) {
    SendMessageW(form, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(form));
    EXPECT_TRUE(QuitWasPosted());
}

class VXModMainWindowTest : public ::testing::Test {
  protected:
    const std::string kLive = "C:\\game\\patch_vx.zpk";
    const std::string kBackup = "C:\\game\\mods\\NORMAL_patch_vx.zpk";

    test::FakePlatform platform;
    Startup startup{platform};
    test::FakeMessageBoxes boxes;
    test::FakeOpenFileDialog dialog;
    std::optional<VXModMainWindow> window;
    HWND form = nullptr;
    Win32ListBox list1;

    void SetUp() override {
        platform.Set("settings", "vxpath", "C:\\game");
        ASSERT_EQ(startup.Run(), FirstWindow::VXModMain);
        platform.folders.insert("C:\\game\\mods");
        platform.files[kLive] = "live";
        window.emplace(startup.Paths(), platform, boxes, dialog);
        form = window->Handle();
        list1.Attach(GetDlgItem(form, VXModMainWindow::kList1Id));
    }
    std::wstring Label2() const { return TextOf(GetDlgItem(form, VXModMainWindow::kLabel2Id)); }
};

TEST_F(VXModMainWindowTest, ShowsTheLayoutAtTheWindowsDpiAndAfterADpiChange) {
    using namespace layout::vxmodmain;
    EXPECT_EQ(TextOf(form), L"Vexmoor Patchkeeper");
    ExpectClientSize(form, kClientSize);
    ExpectLaidOut(form, VXModMainWindow::kLabel1Id, kTabOrder, DpiOf(form));

    for (const int id : {VXModMainWindow::kLabel1Id, VXModMainWindow::kLabel2Id}) {
        EXPECT_EQ(StyleOf(GetDlgItem(form, id)) & SS_TYPEMASK, static_cast<DWORD>(SS_CENTER));
        EXPECT_NE(StyleOf(GetDlgItem(form, id)) & SS_NOPREFIX, 0U) << "'&' in a name vanishes";
    }
    EXPECT_EQ(Label2(), L"$Current Mod$");
    const DWORD list = StyleOf(GetDlgItem(form, VXModMainWindow::kList1Id));
    EXPECT_EQ(ClassOf(GetDlgItem(form, VXModMainWindow::kList1Id)), L"ListBox");
    EXPECT_EQ(list & (LBS_SORT | LBS_MULTIPLESEL | LBS_EXTENDEDSEL), 0U);
    EXPECT_NE(list & LBS_NOINTEGRALHEIGHT, 0U);
    for (const int id :
         {VXModMainWindow::kSwtichId, VXModMainWindow::kCommand2Id, VXModMainWindow::kCommand1Id}) {
        EXPECT_EQ(StyleOf(GetDlgItem(form, id)) & BS_TYPEMASK, static_cast<DWORD>(BS_PUSHBUTTON));
    }
    EXPECT_EQ(TabWalk(form), (Ids{VXModMainWindow::kList1Id, VXModMainWindow::kSwtichId,
                                  VXModMainWindow::kCommand2Id, VXModMainWindow::kCommand1Id}));

    // Moved to a monitor with 150 % scaling: every control is placed and fitted anew.
    RECT suggested{10, 20, 700, 600};
    SendMessageW(form, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    ExpectLaidOut(form, VXModMainWindow::kLabel1Id, kTabOrder, 144);
    RECT placed{};
    GetWindowRect(form, &placed);
    EXPECT_EQ(placed.left, 10);
    EXPECT_EQ(placed.top, 20);
}

TEST_F(VXModMainWindowTest, OpenLoadsOnceBeforeShowing) {
    EXPECT_EQ(list1.ItemCount(), 0);
    window->Open();
    EXPECT_TRUE(IsWindowVisible(form));
    EXPECT_EQ(list1.ItemCount(), 1);
    EXPECT_EQ(list1.Item(0), kBackup);
    EXPECT_EQ(Label2(), L"NORMAL_patch_vx.zpk");

    window->Open();
    EXPECT_EQ(std::count(platform.calls.begin(), platform.calls.end(),
                         "CopyIfAbsent " + kLive + ">" + kBackup),
              1);
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(VXModMainWindowTest, AFailingLoadIsReportedAndTheWindowStillOpens) {
    platform.Set("settings", "mods", "lots");
    window->Open();
    ASSERT_EQ(boxes.shown.size(), 1U);
    EXPECT_EQ(boxes.shown[0].second, "Vexmoor Patchkeeper");
    EXPECT_TRUE(IsWindowVisible(form));
}

TEST_F(VXModMainWindowTest, EachButtonRunsItsOwnCommand) {
    const std::string mod = "C:\\mods\\Ünïcødé & ✓.zpk";
    platform.files[mod] = "a mod";
    window->Open();

    Click(form, VXModMainWindow::kSwtichId);
    EXPECT_EQ(boxes.shown, (Boxes{{"Select something!", "Select Something"}}));

    dialog.answers = {mod};
    Click(form, VXModMainWindow::kCommand2Id);
    EXPECT_EQ(dialog.shown, 1);
    ASSERT_EQ(list1.ItemCount(), 2);
    EXPECT_EQ(list1.Item(1), mod) << "the text must survive the list box unchanged";

    SendMessageW(GetDlgItem(form, VXModMainWindow::kList1Id), LB_SETCURSEL, 1, 0);
    EXPECT_EQ(list1.SelectedIndex(), 1);
    Click(form, VXModMainWindow::kSwtichId);
    EXPECT_EQ(platform.files[kLive], "a mod");
    EXPECT_EQ(Label2(), L"Ünïcødé & ✓.zpk");
    EXPECT_EQ(list1.SelectedIndex(), -1);

    SendMessageW(GetDlgItem(form, VXModMainWindow::kList1Id), LB_SETCURSEL, 0, 0);
    Click(form, VXModMainWindow::kCommand1Id);
    ASSERT_EQ(list1.ItemCount(), 1);
    EXPECT_EQ(list1.Item(0), mod);
    EXPECT_EQ(boxes.shown.size(), 1U);
}

TEST(ProgramTest, AnAcceptedFolderHandsOverToTheMainWindowAndClosingItEnds) {
    test::FakePlatform platform;
    platform.files["C:\\game\\vexmoor.exe"] = "exe";
    platform.files["C:\\game\\patch_vx.zpk"] = "live";
    test::FakeMessageBoxes boxes;
    test::FakeOpenFileDialog dialog;
    Startup startup(platform);
    Program program(startup, platform, boxes, dialog);
    program.Start(startup.Run());

    const HWND dir = FindWindowW(VXDirWindow::kClassName, nullptr);
    ASSERT_NE(dir, nullptr);
    EXPECT_TRUE(IsWindowVisible(dir));
    EXPECT_EQ(FindWindowW(VXModMainWindow::kClassName, nullptr), nullptr);

    SetText(dir, VXDirWindow::kText1Id, L"C:\\game");
    Click(dir, VXDirWindow::kCommand1Id);
    const HWND main = FindWindowW(VXModMainWindow::kClassName, nullptr);
    ASSERT_NE(main, nullptr);
    EXPECT_FALSE(IsWindowVisible(dir));
    EXPECT_TRUE(IsWindowVisible(main));
    EXPECT_EQ(TextOf(GetDlgItem(main, VXModMainWindow::kLabel2Id)), L"NORMAL_patch_vx.zpk");
    EXPECT_TRUE(boxes.shown.empty());

    SendMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_TRUE(QuitWasPosted());
}

}  // namespace
}  // namespace vx::win32
