#include "platform/win32/GameFolderWindow.h"

#include <array>

namespace vx::win32 {
namespace {

namespace at = layout::gamefolder;

constexpr DWORD kButton = WS_TABSTOP | BS_PUSHBUTTON;

constexpr std::array<FormControl, 4> kControls{{
    {at::kFolderLabel, GameFolderWindow::kFolderLabelId, L"Static", SS_LEFT | SS_NOPREFIX, 0,
     CaptionFit::Label},
    {at::kFolderText, GameFolderWindow::kFolderTextId, L"Edit", WS_TABSTOP | ES_AUTOHSCROLL,
     WS_EX_CLIENTEDGE, CaptionFit::Edit},
    // Never BS_DEFPUSHBUTTON: Enter in the text box must not press Ok.
    {at::kOk, GameFolderWindow::kOkId, L"Button", kButton, 0, CaptionFit::Button},
    {at::kBrowse, GameFolderWindow::kBrowseId, L"Button", kButton, 0, CaptionFit::Button},
}};

}  // namespace

GameFolderWindow::GameFolderWindow(Startup& startup, Services services, MainWindowOpener& opener)
    : logic_(startup, services, Boxes(), opener, {self_, folderText_, browser_}) {
    // Its caption is long for its width, and there is nothing to minimize it for: it only
    // asks one question.
    Create(kClassName, at::kCaption, at::kClientSize, kControls, false);
    self_.Attach(Handle());
    folderText_.Attach(Control(kFolderTextId));
}

void GameFolderWindow::OnCommand(int id, int notification) {
    if (notification != BN_CLICKED) {
        return;
    }
    if (id == kOkId) {
        logic_.OnOk();
    } else if (id == kBrowseId) {
        logic_.OnBrowse();
    }
}

}  // namespace vx::win32
