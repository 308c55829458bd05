#pragma once

#include "platform/windows/FileSteps.h"
#include "platform/windows/RegistrySettings.h"
#include "state/PlatformServices.h"

namespace vx::windows {

// The platform services on Windows: settings in the registry, files through the W functions
// of the API, with paths of any length.
class Win32Platform : public PlatformServices {
  public:
    // `registryRoot` is the key under HKEY_CURRENT_USER that holds the applications'
    // settings; `steps` carries out the copy, flush and rename of a file switch.
    explicit Win32Platform(std::string_view registryRoot = kProgramSettingsRoot,
                           FileSteps& steps = SystemFileSteps());

    std::optional<std::string> GetSetting(std::string_view app, std::string_view section,
                                          std::string_view key) override;
    void SaveSetting(std::string_view app, std::string_view section, std::string_view key,
                     std::string_view value) override;
    // Each registry value is written atomically as it is saved; a batch holds nothing back.
    void BeginSettingsBatch() override {}
    void CommitSettings() override {}
    void EndSettingsBatch() noexcept override {}
    std::string LookupEntry(const std::string& path, EntryKind kind) override;
    std::int64_t FileSize(const std::string& path) override;
    std::optional<FileIdentity> IdentifyFile(const std::string& path) noexcept override;
    void ReplaceWithCopy(const std::string& source, const std::string& destination,
                         CopyProgress& progress) override;
    bool CopyFileIfAbsent(const std::string& source, const std::string& destination,
                          CopyProgress& progress) override;
    void MakeFolder(const std::string& path) override;
    bool HeldByAnotherProgram(const Error& error) const override;
    std::optional<std::int64_t> FreeSpace(const std::string& folder) noexcept override;
    void RemoveLeftovers(const std::string& folder) noexcept override;
    char PathSeparator() const override { return '\\'; }
    bool PathsMatchIgnoringCase(std::string_view a, std::string_view b) const override;
    char DecimalSeparator() const override;
    std::string LocalDate() const override;
    std::string SuggestedGameFolder() const override;

  private:
    RegistrySettings settings_;
    FileSteps& steps_;
};

}  // namespace vx::windows
