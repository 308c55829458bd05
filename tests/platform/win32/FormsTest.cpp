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

// What a control must be: its window class, and the style bits under `mask`.
struct Kind {
    const wchar_t* className;
    DWORD mask;
    DWORD style;
};
constexpr Kind kButton{L"Button", BS_TYPEMASK, BS_PUSHBUTTON};  // never a default button

// Not resizable, with the client size the layout gives at the window's DPI.
void ExpectFixedClientSize(HWND form, layout::Size client) {
    const int dpi = static_cast<int>(GetDpiForWindow(form));
    RECT rect{};
    GetClientRect(form, &rect);
    EXPECT_EQ((std::pair{rect.right, rect.bottom}),
              (std::pair<LONG, LONG>{layout::TwipsToPixels(client.width, dpi),
                                     layout::TwipsToPixels(client.height, dpi)}));
    EXPECT_EQ(GetWindowLongPtrW(form, GWL_STYLE) & (WS_THICKFRAME | WS_MAXIMIZEBOX), 0);
}

// Each control of the kind given, where the layout puts it at `dpi`, showing its whole caption in
// the font the window gave it; where Tab goes.
void ExpectLaidOut(HWND form, std::span<const layout::Control> places, int firstId,
                   std::span<const Kind> kinds, const Ids& tabWalk, UINT dpi) {
    const auto px = [dpi](int twips) -> LONG {
        return layout::TwipsToPixels(twips, static_cast<int>(dpi));
    };
    RECT rect{};
    for (std::size_t i = 0; i < places.size(); ++i) {
        const layout::Control& place = places[i];
        SCOPED_TRACE(std::string(place.name));
        const HWND child = GetDlgItem(form, firstId + static_cast<int>(i));
        wchar_t className[16] = {};
        GetClassNameW(child, className, 16);
        EXPECT_STREQ(className, kinds[i].className);
        EXPECT_EQ(GetWindowLongPtrW(child, GWL_STYLE) & kinds[i].mask, kinds[i].style);
        GetWindowRect(child, &rect);
        MapWindowPoints(HWND_DESKTOP, form, reinterpret_cast<POINT*>(&rect), 2);
        EXPECT_EQ(
            (std::vector{rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top}),
            (std::vector{px(place.left), px(place.top), px(place.width), px(place.height)}));

        const std::wstring caption = TextOf(child);
        const WindowDC dc(child);
        const SelectedFont font(dc.Get(),
                                reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0)));
        SIZE extent{};
        GetTextExtentPoint32W(dc.Get(), caption.c_str(), static_cast<int>(caption.size()), &extent);
        if (std::wstring_view(className) != L"Edit") {  // a text box scrolls sideways
            EXPECT_LE(extent.cx, px(place.width)) << "caption cut off";
        }
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc.Get(), &metrics);
        EXPECT_LE(metrics.tmHeight - metrics.tmInternalLeading, px(place.height));
    }
    Ids walk;
    for (HWND at = GetNextDlgTabItem(form, nullptr, FALSE);
         at != nullptr && (walk.empty() || GetDlgCtrlID(at) != walk[0]);
         at = GetNextDlgTabItem(form, at, FALSE)) {
        walk.push_back(GetDlgCtrlID(at));
    }
    EXPECT_EQ(walk, tabWalk);
}

void Click(HWND form, int id) {
    SendMessageW(GetDlgItem(form, id), BM_CLICK, 0, 0);
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
    HWND text1 = GetDlgItem(form, VXDirWindow::kText1Id);
};

TEST_F(VXDirWindowTest, ShowsTheLayoutAndTheSuggestedFolderOnceOpened) {
    using namespace layout::vxdir;
    EXPECT_EQ(TextOf(form), L"Vexmoor Patchkeeper - VX Directory");
    ExpectFixedClientSize(form, kClientSize);
    constexpr Kind kinds[] = {{L"Static", SS_TYPEMASK | SS_NOPREFIX, SS_LEFT | SS_NOPREFIX},
                              {L"Edit", ES_AUTOHSCROLL, ES_AUTOHSCROLL},
                              kButton};
    ExpectLaidOut(form, kTabOrder, VXDirWindow::kLabel1Id, kinds,
                  {VXDirWindow::kText1Id, VXDirWindow::kCommand1Id}, GetDpiForWindow(form));
    window.Open();
    EXPECT_EQ(TextOf(text1), L"C:\\program files\\vexmoor");
}

TEST_F(VXDirWindowTest, EnterPressesOnlyTheFocusedButton) {
    window.Open();
    SetForegroundWindow(form);
    SetWindowTextW(text1, L"C:\\nowhere");
    SetFocus(text1);
    ASSERT_EQ(GetFocus(), text1);
    EXPECT_TRUE(PressKey(form, VK_RETURN));
    EXPECT_TRUE(boxes.shown.empty()) << "Enter in the text box pressed Ok";

    EXPECT_TRUE(PressKey(form, VK_TAB));
    ASSERT_EQ(GetFocus(), GetDlgItem(form, VXDirWindow::kCommand1Id));
    EXPECT_TRUE(PressKey(form, VK_RETURN));
    EXPECT_EQ(boxes.shown, (Boxes{{"Path Invalid: C:\\nowhere", "Invalid Path"}}));

    // Having had the focus must not make Ok the default for the text box.
    EXPECT_TRUE(PressKey(form, VK_TAB));
    ASSERT_EQ(GetFocus(), text1);
    EXPECT_TRUE(PressKey(form, VK_RETURN));
    EXPECT_EQ(boxes.shown.size(), 1U);
    EXPECT_EQ(opener.opened, 0);
}

TEST_F(VXDirWindowTest, AFailureInOkIsReportedAndClosingTheWindowEndsTheProgram) {
    window.Open();
    platform.files["C:\\game\\vexmoor.exe"] = "exe";
    platform.failMakeFolder.insert("C:\\game\\mods");
    SetWindowTextW(text1, L"C:\\game");
    Click(form, VXDirWindow::kCommand1Id);
    ASSERT_EQ(boxes.shown.size(), 1U);
    EXPECT_EQ(boxes.shown[0].second, "Vexmoor Patchkeeper");
    EXPECT_TRUE(IsWindowVisible(form));

    SendMessageW(form, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(form));
    EXPECT_TRUE(QuitWasPosted());
}

class VXModMainWindowTest : public ::testing::Test {
  protected:
    const std::string kLive = "C:\\game\\patch_vx.zpk";
    test::FakePlatform platform;
    Startup startup{platform};
    test::FakeMessageBoxes boxes;
    test::FakeOpenFileDialog dialog;
    std::optional<VXModMainWindow> window;
    HWND form = nullptr;
    Win32ListBox list1;

    void SetUp() override {
        platform.folders.insert("C:\\game\\mods");
        platform.files[kLive] = "live";
        startup.SetGamePath("C:\\game");
        window.emplace(startup.Paths(), platform, boxes, dialog);
        form = window->Handle();
        list1.Attach(GetDlgItem(form, VXModMainWindow::kList1Id));
    }
    std::wstring Label2() const { return TextOf(GetDlgItem(form, VXModMainWindow::kLabel2Id)); }
};

TEST_F(VXModMainWindowTest, ShowsTheLayoutAtTheWindowsDpiAndAfterADpiChange) {
    using namespace layout::vxmodmain;
    EXPECT_EQ(TextOf(form), L"Vexmoor Patchkeeper");
    ExpectFixedClientSize(form, kClientSize);
    constexpr Kind kLabel{L"Static", SS_TYPEMASK | SS_NOPREFIX, SS_CENTER | SS_NOPREFIX};
    constexpr Kind kinds[] = {
        kLabel,
        kLabel,
        {L"ListBox", LBS_SORT | LBS_MULTIPLESEL | LBS_EXTENDEDSEL | LBS_NOINTEGRALHEIGHT,
         LBS_NOINTEGRALHEIGHT},
        kButton,
        kButton,
        kButton};
    const Ids tabWalk{VXModMainWindow::kList1Id, VXModMainWindow::kSwtichId,
                      VXModMainWindow::kCommand2Id, VXModMainWindow::kCommand1Id};
    ExpectLaidOut(form, kTabOrder, VXModMainWindow::kLabel1Id, kinds, tabWalk,
                  GetDpiForWindow(form));

    // Moved to a monitor with 150 % scaling: every control is placed and fitted anew.
    RECT suggested{10, 20, 700, 600};
    SendMessageW(form, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    ExpectLaidOut(form, kTabOrder, VXModMainWindow::kLabel1Id, kinds, tabWalk, 144);
    RECT placed{};
    GetWindowRect(form, &placed);
    EXPECT_EQ((std::pair{placed.left, placed.top}), (std::pair{10L, 20L}));
}

TEST_F(VXModMainWindowTest, EachButtonRunsItsOwnCommandAfterOneLoad) {
    const std::string mod = "C:\\mods\\Ünïcødé & ✓.zpk";
    platform.files[mod] = "a mod";
    EXPECT_EQ(list1.ItemCount(), 0);
    window->Open();
    window->Open();
    EXPECT_TRUE(IsWindowVisible(form));
    EXPECT_EQ(
        std::count_if(platform.calls.begin(), platform.calls.end(),
                      [](const std::string& call) { return call.starts_with("CopyIfAbsent"); }),
        1);
    EXPECT_EQ(Label2(), L"NORMAL_patch_vx.zpk");

    Click(form, VXModMainWindow::kSwtichId);
    EXPECT_EQ(boxes.shown, (Boxes{{"Select something!", "Select Something"}}));

    dialog.answers = {mod};
    Click(form, VXModMainWindow::kCommand2Id);
    ASSERT_EQ(list1.ItemCount(), 2);
    EXPECT_EQ(list1.Item(1), mod) << "the text must survive the list box unchanged";

    SendMessageW(GetDlgItem(form, VXModMainWindow::kList1Id), LB_SETCURSEL, 1, 0);
    Click(form, VXModMainWindow::kSwtichId);
    EXPECT_EQ(platform.files[kLive], "a mod");
    EXPECT_EQ(Label2(), L"Ünïcødé & ✓.zpk");

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

    SetWindowTextW(GetDlgItem(dir, VXDirWindow::kText1Id), L"C:\\game");
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
