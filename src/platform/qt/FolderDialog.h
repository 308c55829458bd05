#pragma once

#include <string>

#include "app/Controls.h"

namespace vx::qt {

// The folder picker over QFileDialog. Its answer is text, as the folder text holds it, not
// path bytes.
class QtFolderDialog final : public FolderDialog {
  public:
    std::string ChooseFolder(const std::string& start) override;
};

}  // namespace vx::qt
