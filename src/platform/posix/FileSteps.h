#pragma once

#include <cstdint>
#include <string>

#include "state/CopyProgress.h"

namespace vx::posix {

// The steps of writing a file in one go whose failure must leave the old file standing. They
// sit behind this interface so that each can be made to fail on purpose; the program uses
// the system's own.
class FileSteps {
  public:
    virtual ~FileSteps() = default;

    // Fills `to` (empty, just created) with the `size` bytes of `from`, reporting to
    // `progress` as it goes; throws CopyCancelled when that answers no.
    virtual void Copy(int from, int to, std::int64_t size, const std::string& path,
                      CopyProgress& progress);
    // Writes `size` bytes of `data` to `to`.
    virtual void Write(int to, const char* data, std::size_t size, const std::string& path);
    // Puts the file's data on the disk.
    virtual void Flush(int fd, const std::string& path);
    // Renames within one folder; with `keepExisting` the rename fails with EEXIST rather
    // than replace what stands at `to`.
    virtual void Rename(int folder, const std::string& from, const std::string& to,
                        bool keepExisting);
};

// The system's own steps, shared by everything that writes files.
FileSteps& SystemFileSteps();

}  // namespace vx::posix
