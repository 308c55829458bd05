#pragma once

#include <string>

#include "platform/posix/DeferredClose.h"
#include "platform/posix/FileSteps.h"
#include "platform/posix/HeldFolders.h"
#include "state/Files.h"

namespace vx::posix {

// The directory entry `path` names, its last component matched without regard to letter
// case (an exact match wins); hidden entries (a leading dot) never match.
std::string LookupEntry(const std::string& path, EntryKind kind);

// Removes what an interrupted atomic write left in `folder`. Never throws.
void RemoveLeftovers(const std::string& folder) noexcept;

// The file system through the POSIX API.
class PosixFiles : public Files {
  public:
    explicit PosixFiles(FileSteps& steps = SystemFileSteps()) : steps_(steps) {}

    std::string LookupEntry(const std::string& path, EntryKind kind) override {
        return posix::LookupEntry(path, kind);
    }
    std::int64_t FileSize(const std::string& path) override;
    std::optional<FileIdentity> IdentifyFile(const std::string& path) noexcept override;
    void ReplaceWithCopy(const std::string& source, const std::string& destination,
                         CopyProgress& progress) override;
    bool CopyFileIfAbsent(const std::string& source, const std::string& destination,
                          CopyProgress& progress) override;
    void MakeFolder(const std::string& path) override;
    bool HeldByAnotherProgram(const Error& error) const override;
    std::optional<std::int64_t> FreeSpace(const std::string& folder) noexcept override;
    void RemoveLeftovers(const std::string& folder) noexcept override {
        posix::RemoveLeftovers(folder);
    }
    char PathSeparator() const override { return '/'; }
    bool PathsMatchIgnoringCase(std::string_view a, std::string_view b) const override;
    void HoldFolders(bool hold) noexcept override { folders_.Release(hold); }

  private:
    FileSteps& steps_;
    HeldFolders folders_;
    DeferredClose closer_;
};

}  // namespace vx::posix
