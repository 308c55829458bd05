#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "state/SettingsStore.h"

namespace vx::windows {

// Where Visual Basic's SaveSetting keeps every application's settings, under
// HKEY_CURRENT_USER; a user's remembered folder and list from it stay valid.
inline constexpr std::string_view kProgramSettingsRoot = "Software\\VB and VBA Program Settings";

// One application's settings as REG_SZ values: HKEY_CURRENT_USER\<root>\<app>\<section>,
// value name = key.
class RegistrySettings : public SettingsStore {
  public:
    RegistrySettings(std::string_view root, std::string_view app);

    // nullopt when the key or the value is absent; throws for a value that is not text or
    // cannot be read.
    std::optional<std::string> Get(std::string_view section, std::string_view key) override;

    // Creates the keys as needed. One value is written in one step.
    void Save(std::string_view section, std::string_view key, std::string_view value) override;

    // Each value is written atomically as it is saved; a batch holds nothing back.
    void BeginBatch() override {}
    void Commit() override {}
    void EndBatch() noexcept override {}

  private:
    std::wstring SubKey(std::string_view section) const;
    std::string Describe(std::string_view section, std::string_view key) const;

    std::string key_;  // <root>\<app>
};

}  // namespace vx::windows
