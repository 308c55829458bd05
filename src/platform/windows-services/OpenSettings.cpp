#include "platform/windows-services/OpenSettings.h"

#include <windows.h>

#include "platform/windows-services/IniSettings.h"
#include "platform/windows-services/LongPath.h"
#include "platform/windows-services/Utf.h"
#include "state/SettingsLayout.h"

namespace vx::windows {
namespace {

// The program's own path, however long.
std::wstring ProgramFile() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            return {};
        }
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);  // cut short: the path did not fit
    }
}

}  // namespace

std::unique_ptr<SettingsStore> OpenSettings(const std::string& programFile,
                                            std::string_view registryRoot) {
    const std::string folder(
        programFile.substr(0, programFile.size() - LastComponent(programFile).size()));
    const std::string portable = folder + std::string(kPortableSettingsName);
    const DWORD attributes = GetFileAttributesW(ApiPath(portable).c_str());
    const DWORD code = attributes == INVALID_FILE_ATTRIBUTES ? GetLastError() : ERROR_SUCCESS;
    if (!folder.empty() && code != ERROR_FILE_NOT_FOUND && code != ERROR_PATH_NOT_FOUND) {
        return std::make_unique<IniSettings>(portable);
    }
    return std::make_unique<RegistrySettings>(registryRoot, settings::kAppName);
}

std::unique_ptr<SettingsStore> OpenSettings() {
    return OpenSettings(ToUtf8(ProgramFile()));
}

}  // namespace vx::windows
