#include "platform/win32/MainWindow.h"

#include <shellapi.h>

#include <array>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "platform/windows/Utf.h"

namespace vx::win32 {
namespace {

namespace at = layout::mainwindow;

constexpr DWORD kCentredLabel = SS_CENTER | SS_NOPREFIX;
constexpr DWORD kButton = WS_TABSTOP | BS_PUSHBUTTON;

constexpr std::array<FormControl, 6> kControls{{
    {at::kCurrentModHeading, MainWindow::kCurrentModHeadingId, L"Static", kCentredLabel, 0,
     CaptionFit::Label},
    // A file name too long for the label ends in an ellipsis instead of wrapping out of sight.
    {at::kCurrentMod, MainWindow::kCurrentModId, L"Static", kCentredLabel | SS_ENDELLIPSIS, 0,
     CaptionFit::Label},
    // Not sorted: item i is entry i+1. One selection at most.
    {at::kModList, MainWindow::kModListId, L"ListBox",
     WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, WS_EX_CLIENTEDGE,
     std::nullopt},
    {at::kSwitch, MainWindow::kSwitchId, L"Button", kButton, 0, CaptionFit::Button},
    {at::kAdd, MainWindow::kAddId, L"Button", kButton, 0, CaptionFit::Button},
    {at::kRemove, MainWindow::kRemoveId, L"Button", kButton, 0, CaptionFit::Button},
}};

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

MainWindow::MainWindow(const SharedPaths& paths, Services services, OpenFileDialog& openDialog)
    : logic_(paths, services, Boxes(), {currentMod_, modList_, openDialog, copies_}) {
    Create(kClassName, at::kCaption, at::kClientSize, kControls, true, &at::GrowthOf);
    copies_.Attach(Handle());
    currentMod_.Attach(Control(kCurrentModId));
    modList_.Attach(Control(kModListId));
    modListTips_.Attach(Handle(), Control(kModListId));
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
        case kSwitchId:
            logic_.OnSwitch();
            break;
        case kAddId:
            logic_.OnAdd();
            break;
        case kRemoveId:
            logic_.OnRemove();
            break;
        default:
            break;
    }
}

}  // namespace vx::win32
