#include "platform/win32/MainWindow.h"

#include <shellapi.h>

#include <array>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "platform/windows-services/Utf.h"

namespace vx::win32 {
namespace {

namespace at = layout::mainwindow;

constexpr DWORD kCentredLabel = SS_CENTER | SS_NOPREFIX;
constexpr DWORD kButton = WS_TABSTOP | BS_PUSHBUTTON;

constexpr ControlKind KindOf(const layout::Control& control) {
    if (control.name == at::kCurrentModHeading.name) {
        return {L"Static", kCentredLabel, 0, CaptionFit::Label};
    }
    if (control.name == at::kCurrentMod.name) {
        // A file name too long for the label ends in an ellipsis instead of wrapping out of sight.
        return {L"Static", kCentredLabel | SS_ENDELLIPSIS, 0, CaptionFit::Label};
    }
    if (control.name == at::kModList.name) {
        // Not sorted: rows in entry order. One selection at most.
        return {L"ListBox",
                WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
                WS_EX_CLIENTEDGE, std::nullopt};
    }
    return {L"Button", kButton, 0, CaptionFit::Button};  // Switch To, Add A Mod, Remove A Mod
}

constexpr auto kControls = InTabOrder(at::kTabOrder, MainWindow::kFirstId, &KindOf);

// The paths of a drop, in UTF-8; the drop is let go of whatever happens.
std::vector<std::string> TakeDroppedPaths(HDROP drop) {
    const std::unique_ptr<std::remove_pointer_t<HDROP>, decltype(&DragFinish)> release(drop,
                                                                                       &DragFinish);
    std::vector<std::string> paths;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        std::wstring path(DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
        path.resize(DragQueryFileW(drop, i, path.data(), static_cast<UINT>(path.size())));
        paths.push_back(windows::ToUtf8(path));
    }
    return paths;
}

}  // namespace

MainWindow::MainWindow(const SharedPaths& paths, Services services, Win32OpenFileDialog& openDialog)
    : logic_(paths, services, Boxes(), {currentMod_, modList_, openDialog, copies_}) {
    Create(kClassName, at::kCaption, at::kClientSize, kControls, true, &at::GrowthOf);
    copies_.Attach(Handle());
    openDialog.Attach(Handle());
    currentMod_.Attach(Control(IdOf(at::kCurrentMod)));
    modList_.Attach(Control(IdOf(at::kModList)));
    modListTips_.Attach(Handle(), Control(IdOf(at::kModList)));
    DragAcceptFiles(Handle(), TRUE);
}

bool MainWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_DROPFILES:
            logic_.OnDrop(TakeDroppedPaths(reinterpret_cast<HDROP>(wParam)));
            return true;
        case WM_NOTIFY:
            return modListTips_.OnNotify(*reinterpret_cast<NMHDR*>(lParam));
        case WM_CLOSE:
            return copies_.DeferClose();
        case WM_SETCURSOR:
            if (copies_.Watching()) {
                SetCursor(LoadCursorW(nullptr, IDC_WAIT));
                return true;
            }
            return false;
        default:
            return false;
    }
}

void MainWindow::OnCommand(int id, int notification) {
    if (notification != BN_CLICKED) {
        return;
    }
    switch (id) {
        case IdOf(at::kSwitch):
            logic_.OnSwitch();
            break;
        case IdOf(at::kAdd):
            logic_.OnAdd();
            break;
        case IdOf(at::kRemove):
            logic_.OnRemove();
            break;
        default:
            break;
    }
}

}  // namespace vx::win32
