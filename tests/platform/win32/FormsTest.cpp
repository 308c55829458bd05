// The windows as real Win32 windows, checked through the Win32 API (needs a display).
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <functional>
#include <set>
#include <span>
#include <string>
#include <tuple>
#include <vector>

#include "app/Layout.h"
#include "fakes/FakePlatform.h"
#include "platform/win32/Program.h"
#include "platform/win32/ProgressWindow.h"
#include "platform/windows-services/Utf.h"

namespace vx::win32 {
namespace {

namespace gf = layout::gamefolder;
namespace mw = layout::mainwindow;
namespace pw = layout::progress;

std::wstring TextOf(HWND window) {
    wchar_t text[256] = {};
    return {text, static_cast<std::size_t>(GetWindowTextW(window, text, 256))};
}

// The boxes shown, each as its visible controls' texts (an icon as "icon"), title and owner,
// cancelled by a timer that their own message loop runs; while one is up its owner must take
// no input.
using Boxes = std::vector<std::tuple<std::set<std::wstring>, std::wstring, HWND>>;
Boxes shown;
BOOL CALLBACK AnswerIfBox(HWND box, LPARAM) {
    // The dialog class's atom, which gives it the name "#32770".
    if (!IsWindowVisible(box) || GetClassWord(box, GCW_ATOM) != 32770) {
        return TRUE;
    }
    std::set<std::wstring> controls;
    for (HWND at = GetWindow(box, GW_CHILD); at != nullptr; at = GetWindow(at, GW_HWNDNEXT)) {
        if (IsWindowVisible(at)) {
            controls.insert(SendMessageW(at, STM_GETICON, 0, 0) != 0 ? L"icon" : TextOf(at));
        }
    }
    shown.emplace_back(controls, TextOf(box), GetWindow(box, GW_OWNER));
    EXPECT_FALSE(IsWindowEnabled(std::get<HWND>(shown.back()))) << "input under its box";
    PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
    return FALSE;
}
void CALLBACK AnswerBoxes(HWND, UINT, UINT_PTR, DWORD) {
    EnumThreadWindows(GetCurrentThreadId(), &AnswerIfBox, 0);
}

// The laid-out client size at the window's DPI, `grown` larger, in a frame that can be resized
// when it has a growth rule; each control where the layout puts it.
void ExpectLaidOut(HWND form, layout::Size client, std::span<const layout::Control> places,
                   int (*idOf)(const layout::Control&), GrowthRule growth,
                   layout::Size grown = {0, 0}) {
    RECT rect{};
    GetClientRect(form, &rect);
    const auto scale = static_cast<int>(GetDpiForWindow(form));
    const layout::Size extra{rect.right - layout::TwipsToPixels(client.width, scale),
                             rect.bottom - layout::TwipsToPixels(client.height, scale)};
    EXPECT_EQ((std::vector{extra.width, extra.height}), (std::vector{grown.width, grown.height}));
    constexpr LONG_PTR kGrowing = WS_THICKFRAME | WS_MAXIMIZEBOX;
    EXPECT_EQ(GetWindowLongPtrW(form, GWL_STYLE) & kGrowing, growth ? kGrowing : 0);
    for (const layout::Control& place : places) {
        GetWindowRect(GetDlgItem(form, idOf(place)), &rect);
        MapWindowPoints(HWND_DESKTOP, form, reinterpret_cast<POINT*>(&rect), 2);
        const layout::Rect expected =
            layout::PlaceGrown(place, growth ? growth(place) : layout::Growth::None, scale, extra);
        EXPECT_EQ(
            (std::vector{rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top}),
            (std::vector<LONG>{expected.left, expected.top, expected.width, expected.height}));
    }
}

void Click(HWND form, int id) {
    SendMessageW(GetDlgItem(form, id), BM_CLICK, 0, 0);
}

// Makes another program's window the active one, as when the user turned to it while a command
// ran; what the command (sent, as a click would make it active) shows must still be its window's.
HWND TurnToAnotherProgram() {
    const HWND other = CreateWindowExW(0, L"Static", L"", WS_POPUP | WS_VISIBLE, 0, 0, 9, 9,
                                       nullptr, nullptr, nullptr, nullptr);
    SetForegroundWindow(other);
    EXPECT_EQ(GetActiveWindow(), other);
    return other;
}

bool AcceptsFiles(HWND window) {
    return (GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_ACCEPTFILES) != 0;
}

// Fake services whose switch, unless `stage` is kFast, copies a while like a large archive:
// until it is cancelled or told to finish, then past stopping until released (or some seconds
// pass, so that a broken test fails rather than hangs).
enum Stage { kFast, kCopying, kFinishing, kReleased };
struct SlowPlatform : test::FakePlatform {
    std::atomic<Stage> stage = kFast;
    void ReplaceWithCopy(const std::string& source, const std::string& destination,
                         CopyProgress& progress) override {
        for (int done = 0; stage == kCopying && done < 5000; ++done) {
            if (!progress.Copied(done, 5000)) {
                throw CopyCancelled();
            }
            Sleep(1);
        }
        progress.Finishing();
        for (int waited = 0; stage == kFinishing && waited < 5000; ++waited) {
            Sleep(1);
        }
        FakePlatform::ReplaceWithCopy(source, destination, progress);
    }
};

// Runs `whileCopying` on the progress window from inside the copy's message loop, until it
// answers that it is done.
std::function<bool(HWND)> whileCopying;
void CALLBACK LookForProgress(HWND, UINT, UINT_PTR, DWORD) {
    const HWND progress = FindWindowW(ProgressWindow::kClassName, nullptr);
    if (progress != nullptr && whileCopying && whileCopying(progress)) {
        whileCopying = nullptr;
    }
}

// What the open-file dialog was asked last, and its answer.
std::string openAnswer;
OPENFILENAMEW openAsked{};
BOOL WINAPI AnswerOpen(OPENFILENAMEW* dialog) {
    openAsked = *dialog;
    lstrcpyW(dialog->lpstrFile, windows::ToUtf16(openAnswer).c_str());
    return TRUE;
}

// The program over fake services.
class FormsTest : public ::testing::Test {
  protected:
    ~FormsTest() override {
        KillTimer(nullptr, boxAnswers);
        shown.clear();
    }

    UINT_PTR boxAnswers = SetTimer(nullptr, 0, 20, &AnswerBoxes);
    SlowPlatform platform;
    Win32OpenFileDialog dialog{&AnswerOpen};
    Startup startup{platform};
    Program program{startup, platform, dialog};
};

// The game folder window asks until it hands over to the main window, which grows from its
// laid-out size (its smallest), runs each command and shows a long copy's progress; closing it
// ends the program.
TEST_F(FormsTest, TheWindowsFromTheGameFolderToTheEndOfALongCopy) {
    platform.files = {{"C:\\game\\vexmoor.exe", "exe"}, {"C:\\game\\patch_vx.zpk", "live"}};
    platform.folders.insert("C:\\game\\mods");
    program.Start(startup.Run());
    const HWND dir = FindWindowW(GameFolderWindow::kClassName, nullptr);
    EXPECT_EQ(TextOf(dir), L"Vexmoor Patchkeeper - VX Directory");
    ExpectLaidOut(dir, gf::kClientSize, gf::kTabOrder, &GameFolderWindow::IdOf, nullptr);
    const HWND folderText = GetDlgItem(dir, GameFolderWindow::IdOf(gf::kFolderText));
    EXPECT_EQ(TextOf(folderText), L"C:\\program files\\vexmoor");
    const HWND elsewhere = TurnToAnotherProgram();
    SendMessageW(dir, WM_COMMAND, static_cast<WPARAM>(GameFolderWindow::IdOf(gf::kBrowse)), 0);
    DestroyWindow(elsewhere);
    EXPECT_EQ(std::get<HWND>(shown.back()), dir) << "the folder picker not owned by its window";

    SetWindowTextW(folderText, L"C:\\game");
    Click(dir, GameFolderWindow::IdOf(gf::kOk));
    EXPECT_FALSE(IsWindowVisible(dir));
    const HWND main = FindWindowW(MainWindow::kClassName, nullptr);
    EXPECT_TRUE(IsWindowVisible(main));
    shown.clear();
    ExpectLaidOut(main, mw::kClientSize, mw::kTabOrder, &MainWindow::IdOf, &mw::GrowthOf);
    RECT frame{};
    GetWindowRect(main, &frame);
    MINMAXINFO limits{};
    SendMessageW(main, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    EXPECT_EQ((std::vector{limits.ptMinTrackSize.x, limits.ptMinTrackSize.y}),
              (std::vector{frame.right - frame.left, frame.bottom - frame.top}));
    SetWindowPos(main, nullptr, 0, 0, frame.right - frame.left + 300,
                 frame.bottom - frame.top + 150, SWP_NOMOVE | SWP_NOZORDER);
    ExpectLaidOut(main, mw::kClientSize, mw::kTabOrder, &MainWindow::IdOf, &mw::GrowthOf,
                  {300, 150});

    const std::string mod = "C:\\mods\\Ünïcødé & ✓" + std::string(150, 'W') + ".zpk";
    platform.files[mod] = "a mod";
    program.OpenMainWindow();
    const HWND modList = GetDlgItem(main, MainWindow::IdOf(mw::kModList));
    const auto list = [modList](UINT message, WPARAM index = 0) {
        return SendMessageW(modList, message, index, 0);
    };

    // While the user is in another program, what the commands show is still the main window's.
    const HWND other = TurnToAnotherProgram();
    openAnswer = mod;
    SendMessageW(main, WM_COMMAND, static_cast<WPARAM>(MainWindow::IdOf(mw::kAdd)), 0);
    ASSERT_EQ(list(LB_GETCOUNT), 2) << "loaded twice, or the dialog's file not added";
    EXPECT_EQ(openAsked.hwndOwner, main) << "the open-file dialog not owned by the main window";
    EXPECT_NE(openAsked.Flags & OFN_FILEMUSTEXIST, 0U);
    SendMessageW(main, WM_COMMAND, static_cast<WPARAM>(MainWindow::IdOf(mw::kSwitch)), 0);
    DestroyWindow(other);
    // One OK button, no icon.
    EXPECT_EQ(shown, (Boxes{{{L"", L"OK", L"Select something!"}, L"Select Something", main}}));
    list(LB_SETCURSEL, 1);
    Click(main, MainWindow::IdOf(mw::kSwitch));
    EXPECT_EQ(platform.files["C:\\game\\patch_vx.zpk"], "a mod") << "the name changed in the list";
    EXPECT_EQ(TextOf(GetDlgItem(main, MainWindow::IdOf(mw::kCurrentMod))),
              L"Ünïcødé & ✓" + std::wstring(150, L'W') + L".zpk");
    EXPECT_GT(list(LB_GETHORIZONTALEXTENT), 1000) << "no scrolling sideways to its end";
    list(LB_SETCURSEL, 1);
    Click(main, MainWindow::IdOf(mw::kRemove));
    EXPECT_EQ(list(LB_GETCOUNT), 1);

    platform.files["C:\\mods\\a.zpk"] = "a";
    openAnswer = "C:\\mods\\a.zpk";
    Click(main, MainWindow::IdOf(mw::kAdd));
    ASSERT_EQ(list(LB_GETCOUNT), 2);

    // A copy past stopping greys Cancel and ends as it would.
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, &LookForProgress);
    platform.files["C:\\game\\patch_vx.zpk"] = "live";
    platform.stage = kFinishing;
    whileCopying = [&](HWND progress) {
        const HWND cancel = GetDlgItem(progress, ProgressWindow::IdOf(pw::kCancel));
        if (IsWindowEnabled(cancel) != FALSE) {
            return false;
        }
        platform.stage = kReleased;
        return true;
    };
    list(LB_SETCURSEL, 1);
    Click(main, MainWindow::IdOf(mw::kSwitch));
    EXPECT_FALSE(whileCopying) << "Cancel not greyed";
    EXPECT_EQ(platform.files["C:\\game\\patch_vx.zpk"], "a");

    // A copy that runs a while shows its progress window, laid out and owned by the main window,
    // whose controls and drops take no input meanwhile. Cancel, Esc and the close box stop it,
    // and so does closing the main window (last here), which closes once the copy has ended.
    const HWND switchTo = GetDlgItem(main, MainWindow::IdOf(mw::kSwitch));
    enum To { kToMain, kToProgress, kToCancel };
    const struct {
        To to;
        UINT message;
        WPARAM key;
    } stops[] = {{kToCancel, BM_CLICK, 0},
                 {kToCancel, WM_KEYDOWN, VK_ESCAPE},
                 {kToProgress, WM_SYSCOMMAND, SC_CLOSE},
                 {kToMain, WM_SYSCOMMAND, SC_CLOSE}};
    for (const auto& stop : stops) {
        platform.stage = kCopying;
        whileCopying = [&](HWND progress) {
            EXPECT_EQ(GetWindow(progress, GW_OWNER), main);
            EXPECT_TRUE(IsWindowEnabled(main) && !IsWindowEnabled(switchTo) && !AcceptsFiles(main));
            EXPECT_EQ(TextOf(GetDlgItem(progress, ProgressWindow::IdOf(pw::kFileName))), L"a.zpk");
            ExpectLaidOut(progress, pw::kClientSize, pw::kTabOrder, &ProgressWindow::IdOf, nullptr);
            const HWND to[] = {main, progress,
                               GetDlgItem(progress, ProgressWindow::IdOf(pw::kCancel))};
            PostMessageW(to[stop.to], stop.message, stop.key, 0);
            return true;
        };
        platform.files["C:\\game\\patch_vx.zpk"] = "live";
        list(LB_SETCURSEL, 1);
        Click(main, MainWindow::IdOf(mw::kSwitch));
        EXPECT_FALSE(whileCopying) << stop.message;
        EXPECT_EQ(platform.files["C:\\game\\patch_vx.zpk"], "live") << stop.message;
        EXPECT_EQ(FindWindowW(ProgressWindow::kClassName, nullptr), nullptr);
        EXPECT_TRUE(IsWindowEnabled(switchTo) && AcceptsFiles(main));
    }
    KillTimer(nullptr, timer);
    EXPECT_TRUE(IsWindow(main)) << "closed before the copy ended";
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE) != FALSE &&
           message.message != WM_QUIT) {
        DispatchMessageW(&message);
    }
    EXPECT_EQ(message.message, UINT{WM_QUIT}) << "closing it does not end the program";
    EXPECT_FALSE(IsWindow(main));
}

}  // namespace
}  // namespace vx::win32
