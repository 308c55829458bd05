#include "state/ModRegistry.h"

#include <string>

#include "state/CountText.h"
#include "state/SettingsLayout.h"

namespace vx {

ModRegistry::ModRegistry(SettingsStore& settings, const SystemInfo& system)
    : settings_(settings), system_(system) {}

std::int16_t ModRegistry::ReadCount() {
    return ParseCount(StoredCountText(), system_.DecimalSeparator());
}

std::int16_t ModRegistry::ReadCountToChange() {
    const std::string text = StoredCountText();
    const std::int16_t count = ParseCount(text, system_.DecimalSeparator());
    if (count < 0) {
        throw BadCountError(text);
    }
    return count;
}

std::string ModRegistry::StoredCountText() {
    return settings_.Get(settings::kSettingsSection, settings::kCountKey).value_or("0");
}

void ModRegistry::WriteCount(std::int16_t count) {
    settings_.Save(settings::kSettingsSection, settings::kCountKey, std::to_string(count));
}

std::string ModRegistry::ReadEntry(int i) {
    return settings_.Get(settings::kModsSection, std::to_string(i)).value_or(std::string());
}

void ModRegistry::WriteEntry(int i, const std::string& path) {
    settings_.Save(settings::kModsSection, std::to_string(i), path);
}

std::string ModRegistry::ReadGameFolder(std::string_view defaultText) {
    return settings_.Get(settings::kSettingsSection, settings::kGameFolderKey)
        .value_or(std::string(defaultText));
}

void ModRegistry::WriteGameFolder(const std::string& folder) {
    settings_.Save(settings::kSettingsSection, settings::kGameFolderKey, folder);
}

}  // namespace vx
