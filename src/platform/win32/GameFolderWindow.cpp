#include "platform/win32/GameFolderWindow.h"

#include <array>

namespace vx::win32 {
namespace {

namespace at = layout::gamefolder;

constexpr DWORD kButton = WS_TABSTOP | BS_PUSHBUTTON;

constexpr ControlKind KindOf(const layout::Control& control) {
    if (control.name == at::kFolderLabel.name) {
        return {L"Static", SS_LEFT | SS_NOPREFIX, 0, CaptionFit::Label};
    }
    if (control.name == at::kFolderText.name) {
        return {L"Edit", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, CaptionFit::Edit};
    }
    // Ok and Browse. Never BS_DEFPUSHBUTTON: Enter in the text box must not press Ok.
    return {L"Button", kButton, 0, CaptionFit::Button};
}

constexpr auto kControls = InTabOrder(at::kTabOrder, GameFolderWindow::kFirstId, &KindOf);

}  // namespace

GameFolderWindow::GameFolderWindow(Startup& startup, Services services, MainWindowOpener& opener)
    : logic_(startup, services, Boxes(), opener, {self_, folderText_, browser_}) {
    // Its caption is long for its width, and there is nothing to minimize it for: it only
    // asks one question.
    Create(kClassName, at::kCaption, at::kClientSize, kControls, false);
    self_.Attach(Handle());
    folderText_.Attach(Control(IdOf(at::kFolderText)));
    browser_.Attach(Handle());
}

void GameFolderWindow::OnCommand(int id, int notification) {
    if (notification != BN_CLICKED) {
        return;
    }
    if (id == IdOf(at::kOk)) {
        logic_.OnOk();
    } else if (id == IdOf(at::kBrowse)) {
        logic_.OnBrowse();
    }
}

}  // namespace vx::win32
