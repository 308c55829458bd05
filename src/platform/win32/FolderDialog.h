#pragma once

#include <string>

#include "app/Controls.h"

namespace vx::win32 {

// The folder picker of Windows Vista and later (the common item dialog picking folders).
// Throws vx::Error when the dialog cannot be shown at all.
class Win32FolderDialog final : public FolderDialog {
  public:
    std::string ChooseFolder(const std::string& start) override;
};

}  // namespace vx::win32
