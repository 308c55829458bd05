#include "platform/win32/Win32OpenFileDialog.h"

#include <windows.h>

#include <commdlg.h>

#include <vector>

#include "platform/win32/Utf.h"
#include "state/Error.h"

namespace vx::win32 {
namespace {

// Room for the longest path Windows allows, not just MAX_PATH.
constexpr std::size_t kFileNameCapacity = 32768;

std::string_view TrimSpaces(std::string_view text) {
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    return text;
}

}  // namespace

std::wstring ToFilterList(std::string_view filter) {
    std::vector<std::string_view> parts;
    for (std::size_t start = 0;;) {
        const std::size_t bar = filter.find('|', start);
        parts.push_back(TrimSpaces(filter.substr(start, bar - start)));
        if (bar == std::string_view::npos) {
            break;
        }
        start = bar + 1;
    }
    std::wstring list;
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
        list += ToUtf16(parts[i]);
        list += L'\0';
        list += ToUtf16(parts[i + 1]);
        list += L'\0';
    }
    list += L'\0';
    return list;
}

void Win32OpenFileDialog::ShowOpen() {
    std::vector<wchar_t> buffer(kFileNameCapacity, L'\0');
    const std::wstring previous = ToUtf16(fileName_);
    if (previous.size() < buffer.size()) {
        previous.copy(buffer.data(), previous.size());
    }

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = GetActiveWindow();
    dialog.lpstrFilter = filter_.empty() ? nullptr : filter_.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = buffer.data();
    dialog.nMaxFile = static_cast<DWORD>(buffer.size());
    // The dialog must not move the working folder: a game folder typed as a relative path
    // (or left empty) is looked up from it.
    dialog.Flags = flags_ | OFN_HIDEREADONLY | OFN_EXPLORER | OFN_NOCHANGEDIR;

    if (GetOpenFileNameW(&dialog) != FALSE) {
        fileName_ = ToUtf8(buffer.data());
        return;
    }
    fileName_.clear();
    if (const DWORD failure = CommDlgExtendedError(); failure != 0) {
        throw Error(static_cast<int>(failure), "The open-file dialog failed (common dialog error " +
                                                   std::to_string(failure) + ")");
    }
}

}  // namespace vx::win32
