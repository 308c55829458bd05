#pragma once

#include <windows.h>

#include "app/Controls.h"

namespace vx::win32 {

// MessageBoxW with one OK button and no icon, owned by the window whose boxes these are: while
// one is up, Windows keeps that window from input, whichever program the user turned to
// meanwhile, so no second command starts inside the first.
class Win32MessageBoxes : public MessageBoxes {
  public:
    // The window the boxes belong to; without one (failures before any window is made) a box
    // stands alone.
    void Attach(HWND owner) { owner_ = owner; }
    void Show(const std::string& text, const std::string& title) override;
    bool AskRetry(const std::string& text, const std::string& title) override;

  private:
    int Ask(const std::string& text, const std::string& title, UINT buttons) const;

    HWND owner_ = nullptr;
};

}  // namespace vx::win32
