#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vx {

// The program's own settings, kept per user across runs: text by section and key. Every
// failing call throws vx::Error; strings are UTF-8.
class SettingsStore {
  public:
    virtual ~SettingsStore() = default;

    // nullopt when the key is absent.
    virtual std::optional<std::string> Get(std::string_view section, std::string_view key) = 0;
    virtual void Save(std::string_view section, std::string_view key, std::string_view value) = 0;

    // Between BeginBatch and EndBatch, saves may be held back until Commit stores them all in
    // one write, so that a command's changes are stored whole or not at all; EndBatch forgets
    // what was not committed, and so does a commit that fails. Reads see the held-back saves.
    virtual void BeginBatch() = 0;
    virtual void Commit() = 0;
    virtual void EndBatch() noexcept = 0;
};

}  // namespace vx
