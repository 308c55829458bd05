#include "state/ModRegistry.h"

#include <string>

#include "state/CountText.h"
#include "state/SettingsLayout.h"

namespace vx {

ModRegistry::ModRegistry(PlatformServices& platform) : platform_(platform) {}

std::int16_t ModRegistry::ReadCount() {
    return ParseCount(StoredCountText(), platform_.DecimalSeparator());
}

std::int16_t ModRegistry::ReadCountToChange() {
    const std::string text = StoredCountText();
    const std::int16_t count = ParseCount(text, platform_.DecimalSeparator());
    if (count < 0) {
        throw BadCountError(text);
    }
    return count;
}

std::string ModRegistry::StoredCountText() {
    return platform_.GetSetting(settings::kAppName, settings::kSettingsSection, settings::kCountKey)
        .value_or("0");
}

void ModRegistry::WriteCount(std::int16_t count) {
    platform_.SaveSetting(settings::kAppName, settings::kSettingsSection, settings::kCountKey,
                          std::to_string(count));
}

std::string ModRegistry::ReadEntry(int i) {
    return platform_.GetSetting(settings::kAppName, settings::kModsSection, std::to_string(i))
        .value_or(std::string());
}

void ModRegistry::WriteEntry(int i, const std::string& path) {
    platform_.SaveSetting(settings::kAppName, settings::kModsSection, std::to_string(i), path);
}

std::string ModRegistry::ReadGameFolder(std::string_view defaultText) {
    return platform_
        .GetSetting(settings::kAppName, settings::kSettingsSection, settings::kGameFolderKey)
        .value_or(std::string(defaultText));
}

void ModRegistry::WriteGameFolder(const std::string& folder) {
    platform_.SaveSetting(settings::kAppName, settings::kSettingsSection, settings::kGameFolderKey,
                          folder);
}

}  // namespace vx
