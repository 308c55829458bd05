#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "platform/windows-services/FileSteps.h"
#include "state/Files.h"

namespace vx::windows {

// FindFirstFileW on one exact path: the entry's name in its stored letter case, or empty
// text when nothing of the kind matches. A last component holding wildcards matches
// nothing. Failures other than "not there" (a drive that is not ready, no access) throw.
std::string LookupEntry(const std::string& path, EntryKind kind);

// The size of a file in bytes; throws for a missing file, an empty path or a folder.
std::int64_t FileSize(const std::string& path);

// What GetFileInformationByHandle says of the file or folder at `path` (API form), links
// followed; false when it cannot be opened. No data access is asked for, so even a file that
// another program holds exclusively opens.
bool ReadFileInformation(const std::wstring& path, BY_HANDLE_FILE_INFORMATION& info);

// The volume's serial number and the file's index on it, for a path in API form.
std::optional<FileIdentity> IdentifyApiPath(const std::wstring& path);

// The same for a UTF-8 path; nothing when the file cannot be opened. Never throws.
std::optional<FileIdentity> IdentifyFile(const std::string& path) noexcept;

// Creates one folder; throws when it cannot.
void MakeFolder(const std::string& path);

// The file system through the W functions of the API, with paths of any length.
class Win32Files : public Files {
  public:
    // `steps` carries out the copy, flush and rename of a file switch.
    explicit Win32Files(FileSteps& steps = SystemFileSteps()) : steps_(steps) {}

    std::string LookupEntry(const std::string& path, EntryKind kind) override;
    std::int64_t FileSize(const std::string& path) override;
    std::optional<FileIdentity> IdentifyFile(const std::string& path) noexcept override;
    void ReplaceWithCopy(const std::string& source, const std::string& destination,
                         CopyProgress& progress) override;
    bool CopyFileIfAbsent(const std::string& source, const std::string& destination,
                          CopyProgress& progress) override;
    void MakeFolder(const std::string& path) override;
    bool HeldByAnotherProgram(const Error& error) const override;
    std::optional<std::int64_t> FreeSpace(const std::string& folder) noexcept override;
    void RemoveLeftovers(const std::string& folder) noexcept override;
    char PathSeparator() const override { return '\\'; }
    bool PathsMatchIgnoringCase(std::string_view a, std::string_view b) const override;
    // Every look walks the whole path: Windows caches what it needs.
    void HoldFolders(bool) noexcept override {}

  private:
    FileSteps& steps_;
};

}  // namespace vx::windows
