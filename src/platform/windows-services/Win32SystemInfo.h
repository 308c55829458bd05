#pragma once

#include "state/SystemInfo.h"

namespace vx::windows {

// The user's locale, clock and Steam libraries, as Windows tells them.
class Win32SystemInfo : public SystemInfo {
  public:
    char DecimalSeparator() const override;
    std::string LocalDate() const override;
    std::string SuggestedGameFolder() const override;
};

}  // namespace vx::windows
