#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "FileSteps.h"

namespace vx::posix {

// One application's settings as an INI file that a person can read and edit by hand. Every
// call reads the file anew, so edits made outside the program count at once. A save rewrites
// the whole file atomically. A file that cannot be read or parsed is never written over:
// both calls fail with vx::Error until it is mended or removed.
class IniSettings {
  public:
    explicit IniSettings(std::filesystem::path file, FileSteps& steps = SystemFileSteps());

    std::optional<std::string> Get(std::string_view section, std::string_view key) const;
    void Save(std::string_view section, std::string_view key, std::string_view value);

    const std::filesystem::path& File() const { return file_; }

  private:
    std::filesystem::path file_;
    FileSteps& steps_;
};

}  // namespace vx::posix
