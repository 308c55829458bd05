#include "platform/windows-services/Win32Error.h"

#include <cwctype>
#include <string_view>

#include "platform/windows-services/Utf.h"

namespace vx::windows {

std::string SystemMessage(DWORD code) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    if (length == 0 || buffer == nullptr) {
        return "System error " + std::to_string(code) + ".";
    }
    std::wstring_view text(buffer, length);
    while (!text.empty() && std::iswspace(static_cast<wint_t>(text.back()))) {
        text.remove_suffix(1);
    }
    std::string message = ToUtf8(text);
    LocalFree(buffer);
    return message;
}

Error SystemError(DWORD code, const std::string& path) {
    return Error(static_cast<int>(code), SystemMessage(code), path);
}

Error LastError(const std::string& path) {
    return SystemError(GetLastError(), path);
}

Error ExplainedError(DWORD code, const char* text, const std::string& path) {
    return Error(static_cast<int>(code), text, path);
}

}  // namespace vx::windows
