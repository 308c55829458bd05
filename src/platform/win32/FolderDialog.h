#pragma once

#include <windows.h>

#include <string>

#include "app/Controls.h"

namespace vx::win32 {

// The folder picker of Windows Vista and later (the common item dialog picking folders),
// owned by the window that shows it, as its boxes are. Throws vx::Error when the dialog cannot
// be shown at all.
class Win32FolderDialog final : public FolderDialog {
  public:
    // The window that shows the picker; while it is up, Windows keeps that window from input.
    void Attach(HWND owner) { owner_ = owner; }
    std::string ChooseFolder(const std::string& start) override;

  private:
    HWND owner_ = nullptr;
};

}  // namespace vx::win32
