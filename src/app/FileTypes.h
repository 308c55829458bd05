#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vx {

// One entry of an open-file dialog's type list: what the user reads, and the patterns
// (several separated by ';') that pick the files.
struct FileType {
    std::string description;
    std::string pattern;
    bool operator==(const FileType&) const = default;
};

// The window logic writes a type list the classic way, "Description | pattern" pairs joined by
// '|': "Vexmoor Patch (*.zpk) | *.zpk". Each part is trimmed of spaces; a description without
// a pattern after it is dropped.
std::vector<FileType> ParseFileTypes(std::string_view filter);

}  // namespace vx
