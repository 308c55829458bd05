#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "state/CopyProgress.h"
#include "state/Error.h"

namespace vx {

// Which directory entries an entry lookup may match.
enum class EntryKind {
    PlainFiles,      // files that are neither hidden, system files nor folders
    FilesAndFolders  // the same, and folders too
};

// What a path leads to, however it is spelled: the volume (device) and the file's number on
// it. Two paths name one file exactly when their identities are equal.
struct FileIdentity {
    std::uint64_t volume = 0;
    std::uint64_t file = 0;
    bool operator==(const FileIdentity&) const = default;
};

// The file system as the program uses it. Every failing call throws vx::Error; nothing here
// shows anything to the user. Paths are UTF-8.
class Files {
  public:
    virtual ~Files() = default;

    // The name of the directory entry that `path` (no wildcards) names, as the file system
    // stores it, matching the last component without regard to letter case; empty when
    // nothing matches.
    virtual std::string LookupEntry(const std::string& path, EntryKind kind) = 0;

    virtual std::int64_t FileSize(const std::string& path) = 0;

    // The identity of the file or folder `path` leads to, links followed; nothing when it
    // cannot be told (nothing there, no access). Whether two paths are one file is decided
    // by this, never by their text.
    virtual std::optional<FileIdentity> IdentifyFile(const std::string& path) noexcept = 0;

    // Makes `destination` a byte copy of `source` in one step: a reader sees the old file or
    // the new one, never a part. On failure the destination is as it was and no temporary
    // file is left. When both name the same file nothing is written. The copy reports to
    // `progress`, which may stop it until every byte is copied.
    virtual void ReplaceWithCopy(const std::string& source, const std::string& destination,
                                 CopyProgress& progress) = 0;

    // Like ReplaceWithCopy, but never replaces or removes what stands at `destination`: answers
    // false, writing nothing, when a file stands there (a link to a file counts as that
    // file), or appears there while the copy runs; throws, naming `destination` and what
    // stands there, when anything else does (a folder, a named pipe, a dangling link...).
    virtual bool CopyFileIfAbsent(const std::string& source, const std::string& destination,
                                  CopyProgress& progress) = 0;

    virtual void MakeFolder(const std::string& path) = 0;

    // Whether `error` says that another program holds the file open, so that trying again
    // once it lets go may succeed (on Windows, the running game holding its archive).
    virtual bool HeldByAnotherProgram(const Error& error) const = 0;

    // Bytes that a file written into `folder` may still take, or nothing when that cannot be
    // told; never throws.
    virtual std::optional<std::int64_t> FreeSpace(const std::string& folder) noexcept = 0;

    // Removes the temporary files that an interrupted copy into `folder` may have left.
    // Best effort: never throws.
    virtual void RemoveLeftovers(const std::string& folder) noexcept = 0;

    virtual char PathSeparator() const = 0;

    // Whether two paths are the same text but for letter case, as the platform's own file
    // names compare: the test that keeps one archive from being registered twice.
    virtual bool PathsMatchIgnoringCase(std::string_view a, std::string_view b) const = 0;

    // Within one command, looks may find files through the folders they hold open on the way;
    // each call lets go of them all, and while `hold` is false nothing is held. The user may
    // move folders while anything is shown, so a command lets go before it shows anything.
    virtual void HoldFolders(bool hold) noexcept = 0;
};

}  // namespace vx
