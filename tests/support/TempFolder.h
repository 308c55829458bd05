#pragma once

#include <filesystem>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace vx::test {

// The path the file functions take for UTF-8 text: wide on Windows, so that names in any
// script work.
std::filesystem::path NativePath(std::string_view utf8);

// A new folder under the system's temporary folder, removed with everything in it, read-only
// files included.
class TempFolder {
  public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    // The folder, and a name in it, as UTF-8 text with the platform's separator.
    const std::string& Utf8() const { return utf8_; }
    std::string operator/(std::string_view name) const;

  private:
    std::filesystem::path path_;
    std::string utf8_;
};

// Whole files as bytes; paths are UTF-8. ReadFile answers "" for a file it cannot open.
bool WriteFile(const std::string& path, std::string_view bytes);
std::string ReadFile(const std::string& path);

// Every entry under `root` with its kind, permissions and a hash of its content: equal
// snapshots mean nothing was written, created, removed or left behind there.
std::set<std::string> Snapshot(const std::string& root);

// What atomic copies left anywhere under `root`: every name with the temporary prefix.
std::vector<std::string> Leftovers(const std::string& root);

}  // namespace vx::test
