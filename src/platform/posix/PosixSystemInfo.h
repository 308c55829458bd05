#pragma once

#include <filesystem>

#include "state/SystemInfo.h"

namespace vx::posix {

// The user's locale, clock and Steam libraries, as Linux tells them.
class PosixSystemInfo : public SystemInfo {
  public:
    char DecimalSeparator() const override;
    std::string LocalDate() const override;
    std::string SuggestedGameFolder() const override;
};

// $HOME, else the home folder the user database gives, else /.
std::filesystem::path HomeFolder();

}  // namespace vx::posix
