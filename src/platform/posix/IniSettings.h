#pragma once

#include <filesystem>
#include <string>

#include "platform/posix/FileSteps.h"
#include "state/IniStore.h"

namespace vx::posix {

// The settings as an INI file on Linux (see IniStore), written with the atomic replacement
// the archives get, through `steps`.
class IniSettings : public IniStore {
  public:
    explicit IniSettings(std::filesystem::path file, FileSteps& steps = SystemFileSteps());

  private:
    FileVersion Version() override;
    std::string Read(FileVersion& version) override;
    FileVersion Write(const std::string& text) override;

    std::filesystem::path file_;
    FileSteps& steps_;
};

// Where the program keeps its settings: $XDG_CONFIG_HOME, else ~/.config, then
// "Vexmoor Patchkeeper/settings.ini".
std::filesystem::path DefaultSettingsFile();

// The settings file under the configuration folder `configHome`.
std::filesystem::path SettingsFileIn(const std::filesystem::path& configHome);

}  // namespace vx::posix
