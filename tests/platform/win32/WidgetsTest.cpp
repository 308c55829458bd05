#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/win32/CaptionFont.h"
#include "platform/win32/Win32Controls.h"
#include "platform/win32/Win32MessageBoxes.h"
#include "platform/win32/Win32OpenFileDialog.h"

namespace vx::win32 {
namespace {

std::function<void(HWND)> inspect;  // what the user does in the box before answering
WPARAM answer = IDOK;

// A timer that the modal box's own message loop runs: it hands the box to `inspect` and
// answers it as a click would. A box still up at the next tick is cancelled, so that a test
// fails instead of hanging.
void CALLBACK AnswerBox(HWND, UINT, UINT_PTR, DWORD) {
    if (const HWND box = GetActiveWindow(); box != nullptr) {
        if (inspect) {
            std::exchange(inspect, nullptr)(box);
        }
        PostMessageW(box, WM_COMMAND, std::exchange(answer, IDCANCEL), 0);
    }
}

void WhileAnswering(std::function<void(HWND)> user, WPARAM button,
                    const std::function<void()>& show) {
    inspect = std::move(user);
    answer = button;
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, &AnswerBox);
    show();
    KillTimer(nullptr, timer);
}

TEST(Win32MessageBoxesTest, ShowOneOkButtonAndNoIcon) {
    std::set<std::wstring> seen;  // the text of each visible control, or "icon"
    const auto look = [&seen](HWND box) {
        for (HWND at = GetWindow(box, GW_CHILD); at != nullptr; at = GetWindow(at, GW_HWNDNEXT)) {
            wchar_t text[64] = {};
            GetWindowTextW(at, text, 64);
            if (IsWindowVisible(at)) {
                seen.insert(SendMessageW(at, STM_GETICON, 0, 0) != 0 ? L"icon" : text);
            }
        }
    };
    WhileAnswering(look, IDOK, [] { Win32MessageBoxes().Show("Select something!", "Select"); });
    EXPECT_EQ(seen, (std::set<std::wstring>{L"", L"OK", L"Select something!"}));
}

OPENFILENAMEW asked{};
// The first showing stands in for a user who picks a file; the others are the system's.
BOOL WINAPI WatchedDialog(OPENFILENAMEW* dialog) {
    const bool first = asked.lStructSize == 0;
    asked = *dialog;
    return first ? lstrcpyW(dialog->lpstrFile, L"C:\\mod.zpk") != nullptr
                 : GetOpenFileNameW(dialog);
}

TEST(Win32OpenFileDialogTest, AsksForExistingZpkFilesAndEmptiesTheNameOnCancel) {
    Win32OpenFileDialog dialog(&WatchedDialog);
    dialog.SetFileMustExist(true);
    dialog.SetFilter({{"Vexmoor Patch (*.zpk)", "*.zpk"}});
    dialog.ShowOpen();
    EXPECT_EQ(dialog.FileName(), "C:\\mod.zpk");
    WhileAnswering(nullptr, IDCANCEL, [&] { dialog.ShowOpen(); });
    EXPECT_NE(asked.Flags & OFN_FILEMUSTEXIST, 0U);
    EXPECT_EQ(std::wstring(asked.lpstrFilter, 29),
              std::wstring(L"Vexmoor Patch (*.zpk)\0*.zpk\0\0", 29));
    EXPECT_EQ(dialog.FileName(), "");
}

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
