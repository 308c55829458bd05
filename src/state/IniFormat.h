#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace vx {

// The parsed content of a settings file: sections and keys in file order, as a person wrote
// them (a section or key written twice stays twice; the first key counts). Looking a key up
// takes constant time, so that a list of tens of thousands of entries reads in linear time.
class IniDocument {
  public:
    struct Section {
        std::string name;
        std::vector<std::pair<std::string, std::string>> entries;
    };

    const std::vector<Section>& Sections() const { return sections_; }
    const std::string* Find(std::string_view section, std::string_view key) const;
    void Set(std::string_view section, std::string_view key, std::string_view value);

    // For the parser: a new section, and a key of the last one.
    void AddSection(std::string_view name);
    void AddToLastSection(std::string key, std::string value);

  private:
    struct Place {
        std::size_t section;
        std::size_t entry;
    };
    static std::string IndexKey(std::string_view section, std::string_view key);

    std::vector<Section> sections_;
    std::unordered_map<std::string, Place> keys_;                // first of each section/key
    std::unordered_map<std::string, std::size_t> lastSections_;  // where a new key goes
    bool twinKeys_ = false;  // some section/key stands twice, and only the index knows which counts
    mutable Place next_{};   // where the next key read is most likely to stand
};

// Throws vx::Error naming the first line that is not a section, a key, a comment or blank.
IniDocument ParseIni(std::string_view text, const std::string& fileName);
std::string FormatIni(const IniDocument& document);

}  // namespace vx
