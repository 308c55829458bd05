#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "state/IniFormat.h"
#include "state/SettingsStore.h"

namespace vx {

// What tells one version of a file from another (which file it is, its size, its times);
// all zero while there is no file.
using FileVersion = std::array<std::uint64_t, 8>;

// One application's settings as an INI file that a person can read and edit by hand. The
// parsed file is kept and read again only when the file has changed, so that an edit made
// between two commands counts at once without every read parsing the whole file. A save
// rewrites the whole file atomically, at once or, inside a batch, together with the batch's
// other saves at Commit. A file that cannot be read or parsed is never written over: every
// call fails with vx::Error until it is mended or removed. Each platform supplies the file:
// how to tell its version, read it whole and replace it atomically.
class IniStore : public SettingsStore {
  public:
    std::optional<std::string> Get(std::string_view section, std::string_view key) final;
    void Save(std::string_view section, std::string_view key, std::string_view value) final;

    // Saves between BeginBatch and EndBatch are kept until Commit writes them in one go; what
    // is not committed by EndBatch is forgotten. A failed Commit forgets them too, so that
    // reads show the file as it is.
    void BeginBatch() final;
    void Commit() final;
    void EndBatch() noexcept final;

  protected:
    // `name` names the file in messages.
    explicit IniStore(std::string name);

    // The file's version now.
    virtual FileVersion Version() = 0;
    // The file's whole text, and its version in `version`; empty text and a zero version
    // when there is no file. Anything else that keeps it from being read throws vx::Error, so
    // that a save never replaces a file it could not read.
    virtual std::string Read(FileVersion& version) = 0;
    // Replaces the file by one holding `text`, atomically; answers the version written.
    virtual FileVersion Write(const std::string& text) = 0;

  private:
    // The document as the file holds it now, plus any saves not yet committed.
    IniDocument& Document();

    std::string name_;
    std::optional<IniDocument> document_;
    FileVersion version_{};
    bool batching_ = false;
    bool pending_ = false;
    // Within a batch, one look at the file is enough: nothing else writes it meanwhile.
    bool checkedInBatch_ = false;
};

}  // namespace vx
