#include "platform/posix/PosixFiles.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <memory>

#include "platform/posix/PosixError.h"
#include "state/TemporaryName.h"
#include "state/Text.h"

namespace vx::posix {
namespace {

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};
using Directory = std::unique_ptr<DIR, DirCloser>;

bool Matches(int folder, const char* name, EntryKind kind) {
    struct stat info {};
    if (name[0] == '.' || ::fstatat(folder, name, &info, 0) != 0) {
        return false;
    }
    return !S_ISDIR(info.st_mode) || kind == EntryKind::FilesAndFolders;
}

}  // namespace

std::string LookupEntry(const std::string& path, EntryKind kind) {
    const std::filesystem::path target(path);
    const std::string wanted = target.filename().string();
    if (wanted.empty() || wanted.find_first_of("*?") != std::string::npos) {
        return {};
    }
    const std::string folderPath =
        target.has_parent_path() ? target.parent_path().string() : std::string(".");
    Directory dir(::opendir(folderPath.c_str()));
    if (!dir) {
        if (errno == ENOENT || errno == ENOTDIR) {
            return {};
        }
        throw ErrnoError(errno, folderPath);
    }
    const int folder = ::dirfd(dir.get());
    const std::string wantedFolded = FoldCase(wanted);
    std::string found;
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string_view name(entry->d_name);
        if (name == wanted && Matches(folder, entry->d_name, kind)) {
            return std::string(name);
        }
        if (found.empty() && FoldCase(name) == wantedFolded &&
            Matches(folder, entry->d_name, kind)) {
            found = name;
        }
    }
    return found;
}

void RemoveLeftovers(const std::string& folder) noexcept {
    try {
        Directory dir(::opendir(folder.c_str()));
        if (!dir) {
            return;
        }
        while (const dirent* entry = ::readdir(dir.get())) {
            if (IsTemporaryName(entry->d_name)) {
                ::unlinkat(::dirfd(dir.get()), entry->d_name, 0);
            }
        }
    } catch (...) {
        // Leftovers cost space, not correctness: nothing here is worth stopping for.
    }
}

}  // namespace vx::posix
