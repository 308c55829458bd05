#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "state/SettingsStore.h"
#include "state/SystemInfo.h"

namespace vx {

// The numbered list of registered archive paths, read from and written to the settings
// store on every call: the store is the only copy.
class ModRegistry {
  public:
    ModRegistry(SettingsStore& settings, const SystemInfo& system);

    // An absent count reads as 0.
    std::int16_t ReadCount();
    // The count a command is about to change. A negative count is refused like text: adding
    // or removing from it would write keys no list ever shows.
    std::int16_t ReadCountToChange();
    void WriteCount(std::int16_t count);

    // Entry i, from 1; empty text when the key is absent.
    std::string ReadEntry(int i);
    void WriteEntry(int i, const std::string& path);

    // The remembered game folder, or `defaultText` when none is stored.
    std::string ReadGameFolder(std::string_view defaultText);
    void WriteGameFolder(const std::string& folder);

  private:
    std::string StoredCountText();

    SettingsStore& settings_;
    const SystemInfo& system_;
};

}  // namespace vx
