#include <gtest/gtest.h>
#include <windows.h>

#include <dlgs.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/win32/CaptionFont.h"
#include "platform/win32/Win32MessageBoxes.h"
#include "platform/win32/Win32OpenFileDialog.h"

namespace vx::win32 {
namespace {

using namespace std::string_literals;

// While `show` runs a modal box on this thread, a second thread finds the box, hands it to
// `inspect` and then answers it with the command `answer`, as the user's click would.
void AnswerBox(const std::function<void()>& show, const std::function<void(HWND)>& inspect,
               WPARAM answer) {
    struct Watch {
        DWORD thread;
        const std::function<void(HWND)>& inspect;
        WPARAM answer;
    } watch{GetCurrentThreadId(), inspect, answer};
    const auto findAndAnswer = [](void* context) -> DWORD {
        auto& w = *static_cast<Watch*>(context);
        HWND box = nullptr;
        for (int tries = 0; box == nullptr && tries < 1000; ++tries, Sleep(10)) {
            EnumThreadWindows(
                w.thread,
                [](HWND window, LPARAM found) {
                    wchar_t name[8] = {};
                    GetClassNameW(window, name, 8);
                    if (IsWindowVisible(window) && std::wstring_view(name) == L"#32770") {
                        *reinterpret_cast<HWND*>(found) = window;
                    }
                    return TRUE;
                },
                reinterpret_cast<LPARAM>(&box));
        }
        if (box != nullptr) {
            w.inspect(box);
            PostMessageW(box, WM_COMMAND, w.answer, 0);
            // A box that does not take the answer is cancelled, so that the test fails
            // instead of waiting for ever.
            for (int tries = 0; IsWindow(box) && tries < 300; ++tries) {
                Sleep(10);
            }
            PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
        }
        return 0;
    };
    const HANDLE watcher = CreateThread(nullptr, 0, findAndAnswer, &watch, 0, nullptr);
    ASSERT_NE(watcher, nullptr);
    show();
    WaitForSingleObject(watcher, INFINITE);
    CloseHandle(watcher);
}

std::vector<HWND> VisibleChildren(HWND parent, const wchar_t* className) {
    std::vector<HWND> found;
    for (HWND child = FindWindowExW(parent, nullptr, className, nullptr); child != nullptr;
         child = FindWindowExW(parent, child, className, nullptr)) {
        if (IsWindowVisible(child)) {
            found.push_back(child);
        }
    }
    return found;
}

TEST(Win32MessageBoxesTest, ShowOneOkButtonAndNoIcon) {
    std::vector<std::wstring> buttons;
    int icons = 0;
    std::wstring title;
    AnswerBox([] { Win32MessageBoxes().Show("Select something!", "Select Something"); },
              [&](HWND box) {
                  title.resize(64);
                  title.resize(static_cast<std::size_t>(GetWindowTextW(box, title.data(), 64)));
                  for (HWND button : VisibleChildren(box, L"Button")) {
                      wchar_t text[16] = {};
                      GetWindowTextW(button, text, 16);
                      buttons.emplace_back(text);
                  }
                  for (HWND image : VisibleChildren(box, L"Static")) {
                      icons += SendMessageW(image, STM_GETICON, 0, 0) != 0 ? 1 : 0;
                  }
              },
              IDOK);
    EXPECT_EQ(title, L"Select Something");
    EXPECT_EQ(buttons, std::vector<std::wstring>{L"OK"});
    EXPECT_EQ(icons, 0);
}

OPENFILENAMEW asked{};
BOOL WINAPI WatchedDialog(OPENFILENAMEW* dialog) {
    asked = *dialog;
    return GetOpenFileNameW(dialog);
}

TEST(Win32OpenFileDialogTest, AsksForExistingZpkFilesAndEmptiesTheNameOnCancel) {
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    const std::wstring mod = folder + L"vx-dialog-test.zpk"s;
    CloseHandle(CreateFileW(mod.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    Win32OpenFileDialog dialog(&WatchedDialog);
    dialog.SetFileMustExist(true);
    dialog.SetFilter({{"Vexmoor Patch (*.zpk)", "*.zpk"}});

    AnswerBox([&] { dialog.ShowOpen(); },
              [&](HWND box) { SetDlgItemTextW(box, cmb13, mod.c_str()); }, IDOK);
    EXPECT_NE(asked.Flags & OFN_FILEMUSTEXIST, 0U);
    EXPECT_EQ(std::wstring(asked.lpstrFilter, 29), L"Vexmoor Patch (*.zpk)\0*.zpk\0\0"s);
    EXPECT_FALSE(dialog.FileName().empty());

    AnswerBox([&] { dialog.ShowOpen(); }, [](HWND) {}, IDCANCEL);
    EXPECT_EQ(dialog.FileName(), "");
    DeleteFileW(mod.c_str());
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

TEST(CaptionFontTest, ShrinksATooLargeFontUntilEveryCaptionFitsAndKeepsOneThatFits) {
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

    const std::vector<CaptionBox> ok = {{L"Ok", 97, 17, CaptionFit::Button}};
    const UniqueFont fits = CreateFittingFont(FontOfHeight(-11), ok, 96);
    EXPECT_EQ(Measure(fits.Get(), L"Ok").lfHeight, -11);
}

}  // namespace
}  // namespace vx::win32
