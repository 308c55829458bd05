#include "app/ProgressText.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace vx {

std::string FormatSize(std::int64_t bytes) {
    constexpr std::array<const char*, 4> kUnits{"KB", "MB", "GB", "TB"};
    if (bytes < 1024) {
        return std::to_string(bytes) + " bytes";
    }
    auto value = static_cast<double>(bytes) / 1024;
    std::size_t unit = 0;
    while (value >= 1024 && unit + 1 < kUnits.size()) {
        value /= 1024;
        ++unit;
    }
    char text[32] = {};
    std::snprintf(text, sizeof text, unit == 0 ? "%.0f %s" : "%.1f %s", value, kUnits[unit]);
    return text;
}

std::string CopiedOfTotal(std::int64_t done, std::int64_t total) {
    return FormatSize(done) + " of " + FormatSize(total);
}

int CopiedPermille(std::int64_t done, std::int64_t total) {
    if (total <= 0) {
        return 0;
    }
    // In floating point: done * 1000 would overflow for files past 9 PB, and nobody needs
    // the bar more exact than this.
    const double share =
        static_cast<double>(std::clamp(done, std::int64_t{0}, total)) / static_cast<double>(total);
    return static_cast<int>(share * 1000);
}

}  // namespace vx
