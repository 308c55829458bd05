#include "platform/posix/IniSettings.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>

#include "platform/posix/AtomicFile.h"
#include "platform/posix/FileDescriptor.h"
#include "platform/posix/IniFormat.h"
#include "platform/posix/PosixError.h"
#include "platform/posix/PosixFiles.h"
#include "platform/posix/PosixSystemInfo.h"
#include "state/SettingsLayout.h"

namespace vx::posix {
namespace {

// The file's whole text; empty when there is no file yet. Anything else that keeps it from
// being read is a failure, so that a save never replaces a file it could not read. `info`
// receives what fstat says of the file that was read (all zero when there is none).
std::string ReadWholeFile(const std::filesystem::path& file, struct stat& info) {
    info = {};
    // O_NONBLOCK: a named pipe in the file's place must not keep the program waiting in
    // open() for a writer. It is refused below like anything else that is not a file.
    FileDescriptor fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (!fd.Valid()) {
        if (errno == ENOENT) {
            return {};
        }
        throw ErrnoError(errno, file.string());
    }
    ThrowIfFailed(::fstat(fd.Get(), &info), file.string());
    if (S_ISDIR(info.st_mode)) {
        throw ErrnoError(EISDIR, file.string());
    }
    if (!S_ISREG(info.st_mode)) {
        throw Error(EINVAL,
                    "The settings file is not a regular file. Remove it, then start Patchkeeper "
                    "again.",
                    file.string());
    }
    std::string text;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd.Get(), buffer, sizeof buffer);
        if (n == -1 && errno == EINTR) {
            continue;
        }
        ThrowIfFailed(n, file.string());
        if (n == 0) {
            return text;
        }
        text.append(buffer, static_cast<std::size_t>(n));
    }
}

}  // namespace

IniSettings::IniSettings(std::filesystem::path file, FileSteps& steps)
    : file_(std::move(file)), steps_(steps) {}

bool IniSettings::Signature::operator==(const Signature& other) const {
    return device == other.device && inode == other.inode && size == other.size &&
           modified.tv_sec == other.modified.tv_sec && modified.tv_nsec == other.modified.tv_nsec &&
           changed.tv_sec == other.changed.tv_sec && changed.tv_nsec == other.changed.tv_nsec;
}

IniSettings::Signature IniSettings::SignatureOf(const struct stat& info) {
    return Signature{info.st_dev, info.st_ino, info.st_size, info.st_mtim, info.st_ctim};
}

IniDocument& IniSettings::Document() {
    if (pending_) {
        return *document_;  // the one writer's own saves, not yet on disk
    }
    if (document_ && checkedInBatch_) {
        return *document_;
    }
    struct stat info {};
    if (document_) {
        const bool exists = ::stat(file_.c_str(), &info) == 0;
        if ((exists ? SignatureOf(info) : Signature{}) == signature_) {
            checkedInBatch_ = batching_;
            return *document_;
        }
    }
    document_.reset();
    const std::string text = ReadWholeFile(file_, info);
    document_ = ParseIni(text, file_.string());
    signature_ = SignatureOf(info);
    checkedInBatch_ = batching_;
    return *document_;
}

std::optional<std::string> IniSettings::Get(std::string_view section, std::string_view key) {
    if (const std::string* value = Document().Find(section, key)) {
        return *value;
    }
    return std::nullopt;
}

void IniSettings::Save(std::string_view section, std::string_view key, std::string_view value) {
    Document().Set(section, key, value);
    pending_ = true;
    if (!batching_) {
        Commit();
    }
}

void IniSettings::Commit() {
    if (!pending_) {
        return;
    }
    try {
        Write();
    } catch (...) {
        pending_ = false;
        document_.reset();
        throw;
    }
    pending_ = false;
}

void IniSettings::BeginBatch() {
    batching_ = true;
    checkedInBatch_ = false;
}

void IniSettings::EndBatch() noexcept {
    batching_ = false;
    checkedInBatch_ = false;
    if (pending_) {
        pending_ = false;
        document_.reset();
    }
}

void IniSettings::Write() {
    const std::string text = FormatIni(*document_);
    std::error_code ignored;
    std::filesystem::create_directories(file_.parent_path(), ignored);
    // A save killed part-way may have left its temporary file beside the settings, where no
    // start looks; the next save clears it.
    RemoveLeftovers(file_.parent_path().string());
    struct stat existing {};
    const mode_t mode = ::stat(file_.c_str(), &existing) == 0 ? existing.st_mode & 07777 : 0600;
    WriteAtomically(
        file_.string(), mode, Existing::Replace,
        [&](int fd) { steps_.Write(fd, text.data(), text.size(), file_.string()); }, steps_);
    // The file now is what was written; the next read needs only to see that it still is.
    struct stat written {};
    signature_ = ::stat(file_.c_str(), &written) == 0 ? SignatureOf(written) : Signature{};
}

std::filesystem::path SettingsFileIn(const std::filesystem::path& configHome) {
    return configHome / std::filesystem::path(settings::kAppName) / "settings.ini";
}

std::filesystem::path DefaultSettingsFile() {
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg != nullptr && xdg[0] == '/') {
        return SettingsFileIn(xdg);
    }
    return SettingsFileIn(HomeFolder() / ".config");
}

}  // namespace vx::posix
