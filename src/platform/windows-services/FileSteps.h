#pragma once

#include <windows.h>

#include <exception>
#include <string>

#include "state/CopyProgress.h"

namespace vx::windows {

// The copy, the flush and the rename of an atomic file copy, each one API call on paths in API form
// (see ApiPath). They sit behind this interface so that each can be made to fail on purpose and the
// rest of the copy be seen to clean up; the program uses the system's own. Each throws vx::Error
// with the system's number when its call fails, and does nothing else.
class FileSteps {
  public:
    virtual ~FileSteps() = default;

    // Copies `source` to `target`, which must not exist yet. `unbuffered` bypasses the
    // system cache, for files large enough to push everything else out of it. Reports to
    // `progress` as it goes and throws CopyCancelled when that answers no.
    virtual void Copy(const std::wstring& source, const std::wstring& target, bool unbuffered,
                      CopyProgress& progress);

    // Forces the contents of `file` to the disk.
    virtual void Flush(const std::wstring& file);

    // Renames `from` to `to` on the same volume, replacing `to` only when `replace` is set.
    virtual void Move(const std::wstring& from, const std::wstring& to, bool replace);
};

// What the system's copy reports to (Routine is its LPPROGRESS_ROUTINE, `reporting` this),
// and what became of the answers.
struct CopyReporting {
    explicit CopyReporting(CopyProgress& to) : progress(to) {}
    static DWORD CALLBACK Routine(LARGE_INTEGER total, LARGE_INTEGER transferred,
                                  LARGE_INTEGER streamSize, LARGE_INTEGER streamTransferred,
                                  DWORD stream, DWORD reason, HANDLE source, HANDLE target,
                                  LPVOID reporting);

    CopyProgress& progress;
    bool stopped = false;
    std::exception_ptr failure;  // no exception may unwind through the system's copy
};

// The system's own steps, shared by everything that copies files.
FileSteps& SystemFileSteps();

}  // namespace vx::windows
