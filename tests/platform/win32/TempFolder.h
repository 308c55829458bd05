#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace vx::win32::test {

// A new folder under the user's temporary folder, removed with everything in it afterwards.
class TempFolder {
  public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return path_; }
    std::string operator/(std::string_view name) const { return path_ + "\\" + std::string(name); }

  private:
    std::string path_;
};

// Plain file access, long paths included, to check what the services did.
void WriteBytes(const std::string& path, std::string_view bytes);
std::string ReadBytes(const std::string& path);
DWORD Attributes(const std::string& path);
void SetAttributes(const std::string& path, DWORD attributes);
std::vector<std::string> EntryNames(const std::string& folder);  // sorted, no "." or ".."

}  // namespace vx::win32::test
