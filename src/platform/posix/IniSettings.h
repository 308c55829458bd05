#pragma once

#include <sys/stat.h>

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "platform/posix/FileSteps.h"
#include "platform/posix/IniFormat.h"
#include "state/SettingsStore.h"

namespace vx::posix {

// One application's settings as an INI file that a person can read and edit by hand. The
// parsed file is kept and read again only when the file on disk has changed, so that an edit
// made between two commands counts at once without every read parsing the whole file. A save
// rewrites the whole file atomically, at once or, inside a batch, together with the batch's
// other saves at Commit. A file that cannot be read or parsed is never written over: every
// call fails with vx::Error until it is mended or removed.
class IniSettings : public SettingsStore {
  public:
    explicit IniSettings(std::filesystem::path file, FileSteps& steps = SystemFileSteps());

    std::optional<std::string> Get(std::string_view section, std::string_view key) override;
    void Save(std::string_view section, std::string_view key, std::string_view value) override;

    // Saves between BeginBatch and EndBatch are kept until Commit writes them in one go; what
    // is not committed by EndBatch is forgotten. A failed Commit forgets them too, so that
    // reads show the file as it is.
    void BeginBatch() override;
    void Commit() override;
    void EndBatch() noexcept override;

  private:
    // What tells one version of the file from another; all zero while there is no file.
    struct Signature {
        dev_t device = 0;
        ino_t inode = 0;
        off_t size = 0;
        timespec modified{};
        timespec changed{};
        bool operator==(const Signature& other) const;
    };
    static Signature SignatureOf(const struct stat& info);

    // The document as the file holds it now, plus any saves not yet committed.
    IniDocument& Document();
    void Write();

    std::filesystem::path file_;
    FileSteps& steps_;
    std::optional<IniDocument> document_;
    Signature signature_;
    bool batching_ = false;
    bool pending_ = false;
    // Within a batch, one look at the file is enough: nothing else writes it meanwhile.
    bool checkedInBatch_ = false;
};

// Where the program keeps its settings: $XDG_CONFIG_HOME, else ~/.config, then
// "Vexmoor Patchkeeper/settings.ini".
std::filesystem::path DefaultSettingsFile();

// The settings file under the configuration folder `configHome`.
std::filesystem::path SettingsFileIn(const std::filesystem::path& configHome);

}  // namespace vx::posix
