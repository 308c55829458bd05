#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "state/PlatformServices.h"

namespace vx {

// The numbered list of registered archive paths, read from and written to the settings
// store on every call: the store is the only copy.
class ModRegistry {
  public:
    explicit ModRegistry(PlatformServices& platform);

    // With no default, an absent count reads as empty text, which is not a number.
    std::int16_t ReadCount(std::optional<std::string_view> defaultText);
    // The count a command is about to change (absent reads as 0). A negative count is refused
    // like text: adding or removing from it would write keys no list ever shows.
    std::int16_t ReadCountToChange();
    void WriteCount(std::int16_t count);

    // Entry i, from 1; empty text when the key is absent.
    std::string ReadEntry(int i);
    void WriteEntry(int i, const std::string& path);

    // The remembered game folder, or `defaultText` when none is stored.
    std::string ReadGameFolder(std::string_view defaultText);
    void WriteGameFolder(const std::string& folder);

  private:
    std::string CountText(std::optional<std::string_view> defaultText);

    PlatformServices& platform_;
};

}  // namespace vx
