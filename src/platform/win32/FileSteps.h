#pragma once

#include <windows.h>

#include <string>

namespace vx::win32 {

// The three steps of an atomic file copy, each one API call on paths in API form (see
// ApiPath). They sit behind this interface so that each can be made to fail on purpose and
// the rest of the copy be seen to clean up; the program uses the system's own. Each throws
// vx::Error with the system's number when its call fails, and does nothing else.
class FileSteps {
  public:
    virtual ~FileSteps() = default;

    // Copies `source` to `target`, which must not exist yet. `unbuffered` bypasses the
    // system cache, for files large enough to push everything else out of it.
    virtual void Copy(const std::wstring& source, const std::wstring& target, bool unbuffered);

    // Forces the contents of `file` to the disk.
    virtual void Flush(const std::wstring& file);

    // Renames `from` to `to` on the same volume, replacing `to` only when `replace` is set.
    virtual void Move(const std::wstring& from, const std::wstring& to, bool replace);
};

// The system's own steps, shared by everything that copies files.
FileSteps& SystemFileSteps();

}  // namespace vx::win32
