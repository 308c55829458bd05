#include "platform/win32/VXDirWindow.h"

#include <array>

namespace vx::win32 {
namespace {

namespace at = layout::vxdir;

constexpr std::array<FormControl, 3> kControls{{
    {at::kLabel1, VXDirWindow::kLabel1Id, L"Static", SS_LEFT | SS_NOPREFIX, 0, CaptionFit::Label},
    {at::kText1, VXDirWindow::kText1Id, L"Edit", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE,
     CaptionFit::Edit},
    // Never BS_DEFPUSHBUTTON: Enter in the text box must not press Ok.
    {at::kCommand1, VXDirWindow::kCommand1Id, L"Button", WS_TABSTOP | BS_PUSHBUTTON, 0,
     CaptionFit::Button},
}};

}  // namespace

VXDirWindow::VXDirWindow(Startup& startup, PlatformServices& platform, MessageBoxes& boxes,
                         MainWindowOpener& opener)
    : Form(boxes), logic_(startup, platform, boxes, opener, {self_, text1_}) {
    // Its caption is long for its width, and there is nothing to minimize it for: it only
    // asks one question.
    Create(kClassName, at::kCaption, at::kClientSize, kControls, false);
    self_.Attach(Handle());
    text1_.Attach(Control(kText1Id));
}

void VXDirWindow::OnCommand(int id, int notification) {
    if (id == kCommand1Id && notification == BN_CLICKED) {
        logic_.Command1Click();
    }
}

}  // namespace vx::win32
