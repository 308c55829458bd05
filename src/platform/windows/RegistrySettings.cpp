#include "platform/windows/RegistrySettings.h"

#include <windows.h>

#include "platform/windows/Handle.h"
#include "platform/windows/Messages.h"
#include "platform/windows/Utf.h"
#include "platform/windows/Win32Error.h"

namespace vx::windows {

RegistrySettings::RegistrySettings(std::string_view root, std::string_view app)
    : key_(std::string(root) + "\\" + std::string(app)) {}

std::wstring RegistrySettings::SubKey(std::string_view section) const {
    return ToUtf16(key_) + L'\\' + ToUtf16(section);
}

// How an error names the value: the key path as regedit shows it.
std::string RegistrySettings::Describe(std::string_view section, std::string_view key) const {
    std::string path = "HKEY_CURRENT_USER\\" + key_;
    for (std::string_view part : {section, key}) {
        path += '\\';
        path += part;
    }
    return path;
}

std::optional<std::string> RegistrySettings::Get(std::string_view section, std::string_view key) {
    const std::wstring subKey = SubKey(section);
    const std::wstring name = ToUtf16(key);
    std::wstring buffer(64, L'\0');
    for (;;) {
        DWORD bytes = static_cast<DWORD>(buffer.size()) * DWORD{sizeof(wchar_t)};
        const LSTATUS status = RegGetValueW(HKEY_CURRENT_USER, subKey.c_str(), name.c_str(),
                                            RRF_RT_REG_SZ, nullptr, buffer.data(), &bytes);
        if (status == ERROR_SUCCESS) {
            // RegGetValueW counts the terminating NUL; text ends at the first NUL in any case.
            buffer.resize(bytes / sizeof(wchar_t));
            if (const std::size_t end = buffer.find(L'\0'); end != std::wstring::npos) {
                buffer.resize(end);
            }
            return ToUtf8(buffer);
        }
        if (status == ERROR_MORE_DATA) {
            buffer.resize(bytes / sizeof(wchar_t) + 1);
            continue;
        }
        if (status == ERROR_FILE_NOT_FOUND) {
            return std::nullopt;
        }
        const DWORD code = static_cast<DWORD>(status);
        if (code == ERROR_UNSUPPORTED_TYPE) {
            throw ExplainedError(code, kNotText, Describe(section, key));
        }
        throw SystemError(code, Describe(section, key));
    }
}

void RegistrySettings::Save(std::string_view section, std::string_view key,
                            std::string_view value) {
    UniqueKey handle;
    LSTATUS status =
        RegCreateKeyExW(HKEY_CURRENT_USER, SubKey(section).c_str(), 0, nullptr,
                        REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, handle.Put(), nullptr);
    if (status != ERROR_SUCCESS) {
        throw SystemError(static_cast<DWORD>(status), Describe(section, key));
    }
    const std::wstring text = ToUtf16(value);
    const DWORD bytes = static_cast<DWORD>(text.size() + 1) * DWORD{sizeof(wchar_t)};
    status = RegSetValueExW(handle.Get(), ToUtf16(key).c_str(), 0, REG_SZ,
                            reinterpret_cast<const BYTE*>(text.c_str()), bytes);
    if (status != ERROR_SUCCESS) {
        throw SystemError(static_cast<DWORD>(status), Describe(section, key));
    }
}

}  // namespace vx::windows
