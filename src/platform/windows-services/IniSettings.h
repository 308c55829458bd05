#pragma once

#include <string>

#include "platform/windows-services/FileSteps.h"
#include "state/IniStore.h"

namespace vx::windows {

// The settings as an INI file on Windows (see IniStore), the same file the Linux program
// keeps, written with the atomic replacement the archives get, through `steps`.
class IniSettings : public IniStore {
  public:
    explicit IniSettings(std::string file, FileSteps& steps = SystemFileSteps());

  private:
    FileVersion Version() override;
    std::string Read(FileVersion& version) override;
    FileVersion Write(const std::string& text) override;

    std::string file_;  // UTF-8, as the user sees it
    FileSteps& steps_;
};

}  // namespace vx::windows
