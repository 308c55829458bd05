#pragma once

#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vx::posix {

// The parsed content of a settings file: sections and keys in file order.
struct IniDocument {
    struct Section {
        std::string name;
        std::vector<std::pair<std::string, std::string>> entries;
    };
    std::vector<Section> sections;

    const std::string* Find(std::string_view section, std::string_view key) const;
    void Set(std::string_view section, std::string_view key, std::string_view value);
};

// Throws vx::Error naming the first line that is not a section, a key, a comment or blank.
IniDocument ParseIni(std::string_view text, const std::string& fileName);
std::string FormatIni(const IniDocument& document);

}  // namespace vx::posix
