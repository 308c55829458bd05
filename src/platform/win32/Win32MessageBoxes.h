#pragma once

#include "app/Controls.h"

namespace vx::win32 {

// MessageBoxW with one OK button and no icon, owned by the window the user is working in.
class Win32MessageBoxes : public MessageBoxes {
  public:
    void Show(const std::string& text, const std::string& title) override;
    bool AskRetry(const std::string& text, const std::string& title) override;
};

}  // namespace vx::win32
