#include "platform/posix/HeldFolders.h"

#include <fcntl.h>
#include <limits.h>

#include <string_view>

namespace vx::posix {

int HeldFolders::Folder(const std::string& path, std::size_t slash) {
    const std::string_view folder(path.data(), slash == 0 ? 1 : slash);
    for (const auto& [name, fd] : folders_) {
        if (name == folder) {
            return fd.Get();
        }
    }
    if (folders_.size() == kMostFolders) {
        return -1;
    }
    // O_PATH: a folder that may be searched but not listed holds as well as any other.
    FileDescriptor opened(::open(std::string(folder).c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!opened.Valid()) {
        return -1;
    }
    folders_.emplace_back(std::string(folder), std::move(opened));
    return folders_.back().second.Get();
}

int HeldFolders::Stat(const std::string& path, struct stat& info) {
    const std::size_t slash = path.rfind('/');
    // A path too long for stat stays one: taken apart, it could be looked at.
    if (holding_ && slash != std::string::npos && slash + 1 < path.size() &&
        path.size() < PATH_MAX) {
        if (const int folder = Folder(path, slash); folder >= 0) {
            return ::fstatat(folder, path.c_str() + slash + 1, &info, 0);
        }
    }
    // Without a held folder, stat itself says what is wrong with the path.
    return ::stat(path.c_str(), &info);
}

}  // namespace vx::posix
