#pragma once

#include <windows.h>

#include <commdlg.h>

#include <string>
#include <vector>

#include "app/Controls.h"

namespace vx::win32 {

// The system's open-file dialog, owned by the window that shows it, as its boxes are. The
// chosen name is kept for the next showing, where the dialog starts; a cancelled dialog leaves
// the name empty, so a cancel never adds anything.
class Win32OpenFileDialog : public OpenFileDialog {
  public:
    using SystemDialog = BOOL(WINAPI*)(OPENFILENAMEW*);
    // `show` is the system's dialog; a test may watch what is asked of it.
    explicit Win32OpenFileDialog(SystemDialog show = &GetOpenFileNameW) : show_(show) {}

    // The window that shows the dialog; while it is up, Windows keeps that window from input.
    void Attach(HWND owner) { owner_ = owner; }

    void SetFileMustExist(bool mustExist) override { mustExist_ = mustExist; }
    void SetFileType(const FileType& type) override;
    void ShowOpen() override;
    std::string FileName() const override { return fileName_; }

  private:
    SystemDialog show_;
    HWND owner_ = nullptr;
    bool mustExist_ = false;
    std::wstring filter_;
    std::string fileName_;
};

}  // namespace vx::win32
