#include "platform/win32/VXDirWindow.h"

#include <array>

namespace vx::win32 {
namespace {

namespace at = layout::vxdir;

constexpr DWORD kButton = WS_TABSTOP | BS_PUSHBUTTON;

constexpr std::array<FormControl, 4> kControls{{
    {at::kLabel1, VXDirWindow::kLabel1Id, L"Static", SS_LEFT | SS_NOPREFIX, 0, CaptionFit::Label},
    {at::kText1, VXDirWindow::kText1Id, L"Edit", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE,
     CaptionFit::Edit},
    // Never BS_DEFPUSHBUTTON: Enter in the text box must not press Ok.
    {at::kCommand1, VXDirWindow::kCommand1Id, L"Button", kButton, 0, CaptionFit::Button},
    {at::kCommand2, VXDirWindow::kCommand2Id, L"Button", kButton, 0, CaptionFit::Button},
}};

}  // namespace

VXDirWindow::VXDirWindow(Startup& startup, PlatformServices& platform, MainWindowOpener& opener)
    : logic_(startup, platform, Boxes(), opener, {self_, text1_, browser_}) {
    // Its caption is long for its width, and there is nothing to minimize it for: it only
    // asks one question.
    Create(kClassName, at::kCaption, at::kClientSize, kControls, false);
    self_.Attach(Handle());
    text1_.Attach(Control(kText1Id));
}

void VXDirWindow::OnCommand(int id, int notification) {
    if (notification != BN_CLICKED) {
        return;
    }
    if (id == kCommand1Id) {
        logic_.Command1Click();
    } else if (id == kCommand2Id) {
        logic_.Command2Click();
    }
}

}  // namespace vx::win32
