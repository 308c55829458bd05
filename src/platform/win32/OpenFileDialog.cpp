#include "platform/win32/OpenFileDialog.h"

#include <vector>

#include "platform/windows-services/Utf.h"
#include "state/Error.h"

namespace vx::win32 {
namespace {

// Room for the longest path Windows allows, not just MAX_PATH.
constexpr std::size_t kFileNameCapacity = 32768;

}  // namespace

void Win32OpenFileDialog::SetFileType(const FileType& type) {
    // Description and pattern each ended by a NUL, the list ended by a second one.
    filter_ =
        windows::ToUtf16(type.description) + L'\0' + windows::ToUtf16(type.pattern) + L'\0' + L'\0';
}

void Win32OpenFileDialog::ShowOpen() {
    std::vector<wchar_t> buffer(kFileNameCapacity, L'\0');
    const std::wstring previous = windows::ToUtf16(fileName_);
    if (previous.size() < buffer.size()) {
        previous.copy(buffer.data(), previous.size());
    }

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = owner_;
    dialog.lpstrFilter = filter_.empty() ? nullptr : filter_.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = buffer.data();
    dialog.nMaxFile = static_cast<DWORD>(buffer.size());
    // The dialog must not move the working folder: a game folder typed as a relative path
    // (or left empty) is looked up from it.
    dialog.Flags =
        (mustExist_ ? OFN_FILEMUSTEXIST : 0) | OFN_HIDEREADONLY | OFN_EXPLORER | OFN_NOCHANGEDIR;

    if (show_(&dialog) != FALSE) {
        fileName_ = windows::ToUtf8(buffer.data());
        return;
    }
    fileName_.clear();
    if (const DWORD failure = CommDlgExtendedError(); failure != 0) {
        throw Error(static_cast<int>(failure), "The open-file dialog failed (common dialog error " +
                                                   std::to_string(failure) + ")");
    }
}

}  // namespace vx::win32
