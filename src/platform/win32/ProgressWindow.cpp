#include "platform/win32/ProgressWindow.h"

#include <commctrl.h>

#include <array>

#include "app/ProgressText.h"
#include "platform/win32/ControlAdapters.h"

namespace vx::win32 {
namespace {

namespace at = layout::progress;

constexpr DWORD kCentredText = SS_CENTER | SS_NOPREFIX;

constexpr ControlKind KindOf(const layout::Control& control) {
    if (control.name == at::kFileName.name) {
        // A long file name ends in an ellipsis instead of wrapping out of sight.
        return {L"Static", kCentredText | SS_ENDELLIPSIS, 0, std::nullopt};
    }
    if (control.name == at::kBar.name) {
        return {PROGRESS_CLASSW, 0, 0, std::nullopt};
    }
    if (control.name == at::kCopied.name) {
        return {L"Static", kCentredText, 0, std::nullopt};
    }
    return {L"Button", WS_TABSTOP | BS_PUSHBUTTON, 0, CaptionFit::Button};  // Cancel
}

constexpr auto kControls = InTabOrder(at::kTabOrder, ProgressWindow::kFirstId, &KindOf);

}  // namespace

ProgressWindow::ProgressWindow(HWND owner, CopyJob& job, const std::string& fileName) : job_(job) {
    const INITCOMMONCONTROLSEX progressBar{sizeof(INITCOMMONCONTROLSEX), ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&progressBar);
    Create(kClassName, at::kCaption, at::kClientSize, kControls, false, nullptr, owner);
    WriteWindowText(Control(IdOf(at::kFileName)), fileName);
    SendMessageW(Control(IdOf(at::kBar)), PBM_SETRANGE32, 0, 1000);
    Update();
}

void ProgressWindow::Update() {
    const CopyJob::State now = job_.Now();
    if (now.done != shown_.done || now.total != shown_.total) {
        WriteWindowText(Control(IdOf(at::kCopied)), CopiedOfTotal(now.done, now.total));
        SendMessageW(Control(IdOf(at::kBar)), PBM_SETPOS,
                     static_cast<WPARAM>(CopiedPermille(now.done, now.total)), 0);
    }
    if (now.Cancellable() != shown_.Cancellable()) {
        EnableWindow(Control(IdOf(at::kCancel)), now.Cancellable() ? TRUE : FALSE);
    }
    shown_ = now;
}

void ProgressWindow::OnCommand(int id, int notification) {
    // IDCANCEL: Esc, passed on by the dialog keys of the message loop.
    if ((id == IdOf(at::kCancel) && notification == BN_CLICKED) || id == IDCANCEL) {
        job_.Cancel();
    }
}

bool ProgressWindow::OnMessage(UINT message, WPARAM /*wParam*/, LPARAM /*lParam*/) {
    if (message == WM_CLOSE) {
        job_.Cancel();
        return true;
    }
    return false;
}

}  // namespace vx::win32
