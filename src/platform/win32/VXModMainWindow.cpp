#include "platform/win32/VXModMainWindow.h"

#include <array>

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

}  // namespace

VXModMainWindow::VXModMainWindow(const SharedPaths& paths, PlatformServices& platform,
                                 MessageBoxes& boxes, OpenFileDialog& commonDialog1)
    : Form(boxes), logic_(paths, platform, boxes, {label2_, list1_, commonDialog1}) {
    Create(kClassName, at::kCaption, at::kClientSize, kControls, true);
    label2_.Attach(Control(kLabel2Id));
    list1_.Attach(Control(kList1Id));
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
