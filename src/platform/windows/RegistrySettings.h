#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vx::windows {

// Where the classic Visual Basic runtime keeps every application's settings, under
// HKEY_CURRENT_USER; a user's remembered folder and list from it stay valid.
inline constexpr std::string_view kProgramSettingsRoot = "Software\\VB and VBA Program Settings";

// Settings as REG_SZ values: HKEY_CURRENT_USER\<root>\<app>\<section>, value name = key.
class RegistrySettings {
  public:
    explicit RegistrySettings(std::string_view root = kProgramSettingsRoot);

    // nullopt when the key or the value is absent; throws for a value that is not text or
    // cannot be read.
    std::optional<std::string> Get(std::string_view app, std::string_view section,
                                   std::string_view key) const;

    // Creates the keys as needed. One value is written in one step.
    void Save(std::string_view app, std::string_view section, std::string_view key,
              std::string_view value) const;

  private:
    std::wstring SubKey(std::string_view app, std::string_view section) const;
    std::string Describe(std::string_view app, std::string_view section,
                         std::string_view key) const;

    std::string root_;
};

}  // namespace vx::windows
