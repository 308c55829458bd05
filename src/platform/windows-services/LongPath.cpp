#include "platform/windows-services/LongPath.h"

#include <windows.h>

#include "platform/windows-services/Utf.h"
#include "platform/windows-services/Win32Error.h"

namespace vx::windows {

namespace {

bool IsSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

bool IsDrivePath(const std::wstring& path) {
    return path.size() >= 3 && path[1] == L':' && IsSeparator(path[2]) &&
           ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z'));
}

bool IsUncPath(const std::wstring& path) {
    return path.size() >= 3 && IsSeparator(path[0]) && IsSeparator(path[1]) &&
           !IsSeparator(path[2]) && path[2] != L'?' && path[2] != L'.';
}

std::wstring FullPath(const std::wstring& path, const std::string& original) {
    std::wstring full(path.size() + 16, L'\0');
    for (;;) {
        const DWORD length =
            GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (length == 0) {
            throw LastError(original);
        }
        if (length < full.size()) {
            full.resize(length);
            return full;
        }
        full.resize(length);
    }
}

}  // namespace

std::wstring ApiPath(const std::string& path) {
    std::wstring wide = ToUtf16(path);
    if (IsDrivePath(wide)) {
        return L"\\\\?\\" + FullPath(wide, path);
    }
    if (IsUncPath(wide)) {
        // \\server\share\... becomes \\?\UNC\server\share\...
        return L"\\\\?\\UNC" + FullPath(wide, path).substr(1);
    }
    return wide;
}

std::string_view LastComponent(std::string_view path) {
    const std::size_t cut = path.find_last_of("\\/:");
    return cut == std::string_view::npos ? path : path.substr(cut + 1);
}

std::wstring FolderPart(const std::wstring& apiPath) {
    const std::size_t cut = apiPath.find_last_of(L"\\/:");
    return cut == std::wstring::npos ? std::wstring() : apiPath.substr(0, cut + 1);
}

}  // namespace vx::windows
