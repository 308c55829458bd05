#pragma once

#include <windows.h>

#include <string>

namespace vx::win32 {

// The three steps of an atomic file copy, each one API call on paths in API form (see
// ApiPath). They answer ERROR_SUCCESS or the error number and do nothing else, so that a
// test can make any one of them fail and watch the rest of the copy clean up.
class FileSteps {
  public:
    virtual ~FileSteps() = default;

    // Copies `source` to `target`, which must not exist yet. `unbuffered` bypasses the
    // system cache, for files large enough to push everything else out of it.
    virtual DWORD Copy(const std::wstring& source, const std::wstring& target, bool unbuffered);

    // Forces the contents of `file` to the disk.
    virtual DWORD Flush(const std::wstring& file);

    // Renames `from` to `to` on the same volume, replacing `to` only when `replace` is set.
    virtual DWORD Move(const std::wstring& from, const std::wstring& to, bool replace);
};

}  // namespace vx::win32
