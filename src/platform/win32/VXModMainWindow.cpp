#include "platform/win32/VXModMainWindow.h"

#include <shellapi.h>

#include <array>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "platform/win32/Utf.h"

namespace vx::win32 {
namespace {

namespace at = layout::vxmodmain;

constexpr DWORD kCentredLabel = SS_CENTER | SS_NOPREFIX;
constexpr DWORD kButton = WS_TABSTOP | BS_PUSHBUTTON;

constexpr std::array<FormControl, 6> kControls{{
    {at::kLabel1, VXModMainWindow::kLabel1Id, L"Static", kCentredLabel, 0, CaptionFit::Label},
    // A file name too long for the label ends in an ellipsis instead of wrapping out of sight.
    {at::kLabel2, VXModMainWindow::kLabel2Id, L"Static", kCentredLabel | SS_ENDELLIPSIS, 0,
     CaptionFit::Label},
    // Not sorted: item i is entry i+1. One selection at most.
    {at::kList1, VXModMainWindow::kList1Id, L"ListBox",
     WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, WS_EX_CLIENTEDGE,
     std::nullopt},
    {at::kSwtich, VXModMainWindow::kSwtichId, L"Button", kButton, 0, CaptionFit::Button},
    {at::kCommand2, VXModMainWindow::kCommand2Id, L"Button", kButton, 0, CaptionFit::Button},
    {at::kCommand1, VXModMainWindow::kCommand1Id, L"Button", kButton, 0, CaptionFit::Button},
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
        paths.push_back(ToUtf8(path));
    }
    return paths;
}

}  // namespace

VXModMainWindow::VXModMainWindow(const SharedPaths& paths, PlatformServices& platform,
                                 OpenFileDialog& commonDialog1)
    : logic_(paths, platform, Boxes(), {label2_, list1_, commonDialog1, copies_}) {
    Create(kClassName, at::kCaption, at::kClientSize, kControls, true, &at::GrowthOf);
    copies_.Attach(Handle());
    label2_.Attach(Control(kLabel2Id));
    list1_.Attach(Control(kList1Id));
    list1Tips_.Attach(Handle(), Control(kList1Id));
    DragAcceptFiles(Handle(), TRUE);
}

bool VXModMainWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_DROPFILES:
            logic_.DropFiles(TakeDroppedPaths(reinterpret_cast<HDROP>(wParam)));
            return true;
        case WM_NOTIFY:
            return list1Tips_.OnNotify(*reinterpret_cast<NMHDR*>(lParam));
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

void VXModMainWindow::OnCommand(int id, int notification) {
    if (notification != BN_CLICKED) {
        return;
    }
    switch (id) {
        case kSwtichId:
            logic_.SwtichClick();
            break;
        case kCommand2Id:
            logic_.Command2Click();
            break;
        case kCommand1Id:
            logic_.Command1Click();
            break;
        default:
            break;
    }
}

}  // namespace vx::win32
