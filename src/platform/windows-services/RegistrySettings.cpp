#include "platform/windows-services/RegistrySettings.h"

#include <charconv>

#include "platform/windows-services/Messages.h"
#include "platform/windows-services/Utf.h"
#include "platform/windows-services/Win32Error.h"
#include "state/SettingsLayout.h"

namespace vx::windows {
namespace {

// Value names are compared regardless of case, as the registry does; the program's own names
// are ASCII.
std::string Lower(std::string name) {
    for (char& c : name) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return name;
}

void ThrowIfFailed(LSTATUS status, const std::string& path) {
    if (status != ERROR_SUCCESS) {
        throw SystemError(static_cast<DWORD>(status), path);
    }
}

}  // namespace

class RegistrySettings::KeysOpen {
  public:
    explicit KeysOpen(RegistrySettings& settings) : settings_(settings) {}
    KeysOpen(const KeysOpen&) = delete;
    KeysOpen& operator=(const KeysOpen&) = delete;
    KeysOpen(KeysOpen&&) = delete;
    KeysOpen& operator=(KeysOpen&&) = delete;
    ~KeysOpen() {
        if (!settings_.batching_) {
            settings_.CloseKeys();
        }
    }

  private:
    RegistrySettings& settings_;
};

bool RegistrySettings::KeyStamp::operator==(const KeyStamp& other) const {
    return exists == other.exists && written.dwLowDateTime == other.written.dwLowDateTime &&
           written.dwHighDateTime == other.written.dwHighDateTime && values == other.values &&
           longestName == other.longestName && longestData == other.longestData;
}

RegistrySettings::RegistrySettings(std::string_view root, std::string_view app)
    : key_(std::string(root) + "\\" + std::string(app)) {}

std::wstring RegistrySettings::SubKey(std::string_view section) const {
    return ToUtf16(key_) + L'\\' + ToUtf16(section);
}

// How an error names the value (or the key, without one): the path as regedit shows it.
std::string RegistrySettings::Describe(std::string_view section, std::string_view key) const {
    std::string path = "HKEY_CURRENT_USER\\" + key_ + "\\" + std::string(section);
    if (!key.empty()) {
        path += '\\';
        path += key;
    }
    return path;
}

RegistrySettings::KeyStamp RegistrySettings::StampOf(const Section& section,
                                                     std::string_view name) const {
    KeyStamp stamp;
    if (!section.key) {
        return stamp;
    }
    stamp.exists = true;
    ThrowIfFailed(RegQueryInfoKeyW(section.key.Get(), nullptr, nullptr, nullptr, nullptr, nullptr,
                                   nullptr, &stamp.values, &stamp.longestName, &stamp.longestData,
                                   nullptr, &stamp.written),
                  Describe(name, {}));
    return stamp;
}

RegistrySettings::Section& RegistrySettings::Current(std::string_view name) {
    auto found = sections_.find(name);
    if (found == sections_.end()) {
        found = sections_.emplace(std::string(name), Section{}).first;
    }
    Section& section = found->second;
    if (section.checked) {
        return section;  // nothing else writes the settings while a command runs
    }
    if (!section.key) {
        const LSTATUS status = RegOpenKeyExW(HKEY_CURRENT_USER, SubKey(name).c_str(), 0,
                                             KEY_QUERY_VALUE, section.key.Put());
        if (status != ERROR_FILE_NOT_FOUND) {
            ThrowIfFailed(status, Describe(name, {}));
        }
    }
    const KeyStamp stamp = StampOf(section, name);
    if (!section.stamp || !(*section.stamp == stamp)) {
        Load(found->first, section, stamp);
    }
    section.checked = batching_;
    return section;
}

// One pass over the key's values. The stamp is taken before it, so that a change made while
// it reads shows as a change at the next look.
void RegistrySettings::Load(const std::string& name, Section& section, const KeyStamp& stamp) {
    section.stamp.reset();
    section.values.clear();
    if (section.key) {
        section.values.reserve(stamp.values);
        std::wstring valueName(stamp.longestName + 1, L'\0');
        std::wstring data(stamp.longestData / sizeof(wchar_t) + 1, L'\0');
        for (DWORD index = 0;;) {
            auto nameLength = static_cast<DWORD>(valueName.size());
            DWORD bytes = static_cast<DWORD>(data.size()) * DWORD{sizeof(wchar_t)};
            DWORD type = REG_NONE;
            const LSTATUS status =
                RegEnumValueW(section.key.Get(), index, valueName.data(), &nameLength, nullptr,
                              &type, reinterpret_cast<BYTE*>(data.data()), &bytes);
            if (status == ERROR_NO_MORE_ITEMS) {
                break;
            }
            if (status == ERROR_MORE_DATA) {
                // A value grew while the key was read: room for the longest name there is.
                valueName.resize(16384);
                data.resize(data.size() * 2);
                continue;
            }
            ThrowIfFailed(status, Describe(name, {}));
            Value value{type == REG_SZ, {}};
            if (value.text) {
                // The stored size counts the terminating NUL; text ends at the first NUL.
                std::wstring_view text(data.data(), bytes / sizeof(wchar_t));
                text = text.substr(0, text.find(L'\0'));
                value.data = ToUtf8(text);
            }
            section.values.emplace(Lower(ToUtf8(std::wstring_view(valueName.data(), nameLength))),
                                   std::move(value));
            ++index;
        }
    }
    section.stamp = stamp;
}

std::optional<std::string> RegistrySettings::Get(std::string_view section, std::string_view key) {
    const KeysOpen open(*this);
    const Section& current = Current(section);
    const auto found = current.values.find(Lower(std::string(key)));
    if (found == current.values.end()) {
        return std::nullopt;
    }
    if (!found->second.text) {
        throw ExplainedError(ERROR_UNSUPPORTED_TYPE, kNotText, Describe(section, key));
    }
    return found->second.data;
}

void RegistrySettings::Save(std::string_view section, std::string_view key,
                            std::string_view value) {
    const KeysOpen open(*this);
    ToUtf16(value);  // text that is not UTF-8 fails here, not half-way through a commit
    Section& current = Current(section);
    Value& stored = current.values[Lower(std::string(key))];
    if (!stored.text || stored.data != value) {
        stored = Value{true, std::string(value)};
        held_.push_back(Held{std::string(section), std::string(key)});
    }
    if (!batching_) {
        Commit();
    }
}

// The count the held saves leave, when they change it.
std::optional<long> RegistrySettings::HeldCount() const {
    const auto settings = sections_.find(settings::kSettingsSection);
    if (settings == sections_.end()) {
        return std::nullopt;
    }
    const auto count = settings->second.values.find(std::string(settings::kCountKey));
    long number = 0;
    if (count == settings->second.values.end() || !count->second.text ||
        std::from_chars(count->second.data.data(),
                        count->second.data.data() + count->second.data.size(), number)
                .ec != std::errc()) {
        return std::nullopt;
    }
    return number;
}

void RegistrySettings::Write(const Held& held) {
    Section& section = sections_.find(held.section)->second;
    if (!section.writable) {
        ThrowIfFailed(RegCreateKeyExW(HKEY_CURRENT_USER, SubKey(held.section).c_str(), 0, nullptr,
                                      REG_OPTION_NON_VOLATILE, KEY_QUERY_VALUE | KEY_SET_VALUE,
                                      nullptr, section.key.Put(), nullptr),
                      Describe(held.section, held.key));
        section.writable = true;
    }
    const std::wstring text = ToUtf16(section.values.at(Lower(held.key)).data);
    const DWORD bytes = static_cast<DWORD>(text.size() + 1) * DWORD{sizeof(wchar_t)};
    ThrowIfFailed(RegSetValueExW(section.key.Get(), ToUtf16(held.key).c_str(), 0, REG_SZ,
                                 reinterpret_cast<const BYTE*>(text.c_str()), bytes),
                  Describe(held.section, held.key));
}

// Each value is written on its own, so a commit cut short (the program killed, a write
// refused) leaves some written and some not. The order keeps what that leaves a whole list:
// entries up to the new count come first and the count after them, so that a list that grows
// never counts an entry not yet written; entries above the new count come last, so that one
// that shrinks (a Remove, whose entries have moved down one key) loses nothing before the
// count stops listing it: cut short before the count, the list holds one entry twice.
void RegistrySettings::Commit() {
    if (held_.empty()) {
        return;
    }
    const KeysOpen open(*this);
    const std::vector<Held> held = std::move(held_);
    held_.clear();
    const std::optional<long> count = HeldCount();
    const auto aboveCount = [&](const Held& value) {
        long key = 0;
        return count && value.section == settings::kModsSection &&
               std::from_chars(value.key.data(), value.key.data() + value.key.size(), key).ec ==
                   std::errc() &&
               key > *count;
    };
    try {
        for (const Held& value : held) {
            if (value.section == settings::kModsSection && !aboveCount(value)) {
                Write(value);
            }
        }
        for (const Held& value : held) {
            if (value.section != settings::kModsSection) {
                Write(value);
            }
        }
        for (const Held& value : held) {
            if (aboveCount(value)) {
                Write(value);
            }
        }
        for (auto& [name, section] : sections_) {
            if (section.writable) {
                section.stamp = StampOf(section, name);
            }
        }
    } catch (...) {
        Forget();
        throw;
    }
}

void RegistrySettings::BeginBatch() {
    batching_ = true;
}

void RegistrySettings::EndBatch() noexcept {
    batching_ = false;
    if (!held_.empty()) {
        held_.clear();
        Forget();
    }
    CloseKeys();
}

// What the cache holds may not be what the registry holds: the next read reads it anew.
void RegistrySettings::Forget() noexcept {
    for (auto& entry : sections_) {
        entry.second.stamp.reset();
        entry.second.values.clear();
    }
}

void RegistrySettings::CloseKeys() noexcept {
    for (auto& entry : sections_) {
        entry.second.key.Reset();
        entry.second.writable = false;
        entry.second.checked = false;
    }
}

}  // namespace vx::windows
