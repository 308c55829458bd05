#pragma once

#include <filesystem>
#include <map>

#include "platform/posix/DeferredClose.h"
#include "platform/posix/FileSteps.h"
#include "platform/posix/HeldFolders.h"
#include "platform/posix/IniSettings.h"
#include "state/PlatformServices.h"

namespace vx::posix {

// The platform services on Linux: settings in an INI file per application under the user's
// configuration folder, files through the POSIX API.
class PosixPlatform : public PlatformServices {
  public:
    // Settings live in `configHome`/<application>/settings.ini.
    explicit PosixPlatform(std::filesystem::path configHome, FileSteps& steps = SystemFileSteps());

    // $XDG_CONFIG_HOME, else ~/.config.
    static std::filesystem::path DefaultConfigHome();

    std::filesystem::path SettingsFile(std::string_view app) const;

    std::optional<std::string> GetSetting(std::string_view app, std::string_view section,
                                          std::string_view key) override;
    void SaveSetting(std::string_view app, std::string_view section, std::string_view key,
                     std::string_view value) override;
    void BeginSettingsBatch() override;
    void CommitSettings() override;
    void EndSettingsBatch() noexcept override;
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
    char PathSeparator() const override { return '/'; }
    bool PathsMatchIgnoringCase(std::string_view a, std::string_view b) const override;
    char DecimalSeparator() const override;
    std::string LocalDate() const override;
    std::string SuggestedGameFolder() const override;

  private:
    IniSettings& Store(std::string_view app);

    std::filesystem::path configHome_;
    FileSteps& steps_;
    std::map<std::string, IniSettings, std::less<>> stores_;  // by application
    bool batching_ = false;
    // Within one batch, one command: what the user does between commands is seen.
    HeldFolders folders_;
    DeferredClose closer_;
};

}  // namespace vx::posix
