#pragma once

#include <windows.h>

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/windows-services/Handle.h"
#include "state/SettingsStore.h"

namespace vx::windows {

// Where Visual Basic's SaveSetting keeps every application's settings, under
// HKEY_CURRENT_USER; a user's remembered folder and list from it stay valid.
inline constexpr std::string_view kProgramSettingsRoot = "Software\\VB and VBA Program Settings";

// One application's settings as REG_SZ values: HKEY_CURRENT_USER\<root>\<app>\<section>,
// value name = key. Each section's key is read whole, in one pass, and kept; it is read again
// only when the key has changed since, so that an edit made between two commands counts at
// once without every read asking the registry. Within a batch the keys stay open and are
// looked at once; saves are held back until Commit, which writes only the values that
// changed.
class RegistrySettings : public SettingsStore {
  public:
    RegistrySettings(std::string_view root, std::string_view app);

    // nullopt when the key or the value is absent; throws for a value that is not text or
    // cannot be read.
    std::optional<std::string> Get(std::string_view section, std::string_view key) override;

    // Creates the keys as needed. A save of the value already stored writes nothing.
    void Save(std::string_view section, std::string_view key, std::string_view value) override;

    // The registry has no writes of many values at once: Commit writes the held-back values
    // one by one, entries up to the new count first, then the count, then entries above it,
    // so that a commit cut short leaves a list that reads whole (see RegistrySettings.cpp).
    // A failed Commit forgets what it did not write, and the next read shows the registry as
    // it is.
    void BeginBatch() override;
    void Commit() override;
    void EndBatch() noexcept override;

  private:
    // What tells one state of a key from another without reading its values. The last-write
    // time alone may miss a second change within one tick of the system clock (about 16 ms
    // on Windows); the number and longest sizes of the values catch most of those.
    struct KeyStamp {
        bool exists = false;
        FILETIME written{};
        DWORD values = 0;
        DWORD longestName = 0;
        DWORD longestData = 0;
        bool operator==(const KeyStamp& other) const;
    };
    struct Value {
        bool text = true;  // false for a value of another type, which reads as an error
        std::string data;
    };
    struct Section {
        UniqueKey key;                                  // open while a batch runs
        bool writable = false;                          // `key` was opened to be written
        std::optional<KeyStamp> stamp;                  // of what `values` holds; none until read
        std::unordered_map<std::string, Value> values;  // by name in lower case
        bool checked = false;                           // looked at within this batch
    };
    // Closes the keys when a call outside a batch ends.
    class KeysOpen;
    struct Held {
        std::string section;
        std::string key;
    };

    Section& Current(std::string_view name);
    void Load(const std::string& name, Section& section, const KeyStamp& stamp);
    KeyStamp StampOf(const Section& section, std::string_view name) const;
    std::optional<long> HeldCount() const;
    void Write(const Held& held);
    void Forget() noexcept;
    void CloseKeys() noexcept;
    std::wstring SubKey(std::string_view section) const;
    std::string Describe(std::string_view section, std::string_view key) const;

    std::string key_;  // <root>\<app>
    std::map<std::string, Section, std::less<>> sections_;
    std::vector<Held> held_;  // saved, not yet written, in the order saved
    bool batching_ = false;
};

}  // namespace vx::windows
