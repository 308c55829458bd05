#pragma once

#include <cstdint>
#include <exception>

namespace vx {

// What a file copy tells whoever waits for it while it runs, and how that one stops it. The
// copy calls it on its own thread.
class CopyProgress {
  public:
    virtual ~CopyProgress() = default;

    // `done` of `total` bytes are copied. Answering false stops the copy: it then throws
    // CopyCancelled, having left the destination as it was and no temporary file.
    virtual bool Copied(std::int64_t done, std::int64_t total) = 0;
    // Every byte is copied; what is left (putting the file on the disk, renaming it into
    // place) can no longer be stopped, so Copied is not asked again.
    virtual void Finishing() = 0;
};

// How a copy stopped by its CopyProgress ends. It is no vx::Error: the user chose it, nothing
// failed, and no number a system gives can be mistaken for it.
class CopyCancelled final : public std::exception {
  public:
    const char* what() const noexcept override { return "The copy was cancelled."; }
};

}  // namespace vx
