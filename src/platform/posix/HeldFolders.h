#pragma once

#include <sys/stat.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/posix/FileDescriptor.h"

namespace vx::posix {

// The folders of the files looked at while one command runs, held open, so that each look
// finds the file's name in its folder instead of walking the whole path again: a rebuild
// looks at the live archive and every entry's file, tens of thousands of times, mostly in a
// few folders. Each Release closes them: a folder renamed or replaced after it is found anew.
class HeldFolders {
  public:
    // Like ::stat: 0, or -1 with errno set.
    int Stat(const std::string& path, struct stat& info);

    // Closes them all; after it, the looks hold their folders anew while `holding` is true
    // and walk whole paths while it is false.
    void Release(bool holding) {
        folders_.clear();
        holding_ = holding;
    }

  private:
    // Beyond this, a file in yet another folder is looked at by its whole path.
    static constexpr std::size_t kMostFolders = 16;

    int Folder(const std::string& path, std::size_t slash);

    bool holding_ = false;
    std::vector<std::pair<std::string, FileDescriptor>> folders_;
};

}  // namespace vx::posix
