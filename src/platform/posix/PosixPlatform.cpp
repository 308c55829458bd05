#include "platform/posix/PosixPlatform.h"

#include <fcntl.h>
#include <langinfo.h>
#include <locale.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>

#include "platform/posix/AtomicFile.h"
#include "platform/posix/FileDescriptor.h"
#include "platform/posix/PosixError.h"
#include "platform/posix/PosixFiles.h"
#include "platform/posix/SteamSearch.h"
#include "state/BackupMessages.h"
#include "state/Text.h"

namespace vx::posix {
namespace {

std::filesystem::path HomeFolder() {
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
        return home;
    }
    if (const passwd* entry = ::getpwuid(::getuid()); entry != nullptr) {
        return entry->pw_dir;
    }
    return "/";
}

struct OpenSource {
    FileDescriptor fd;
    struct stat info {};
};

OpenSource OpenRegularFile(const std::string& path) {
    // Without O_NONBLOCK, a named pipe put where an archive was would stop the program in
    // open() until something wrote to it; regular files read the same either way.
    OpenSource source{FileDescriptor(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK)), {}};
    ThrowIfFailed(source.fd.Get(), path);
    ThrowIfFailed(::fstat(source.fd.Get(), &source.info), path);
    if (!S_ISREG(source.info.st_mode)) {
        throw ErrnoError(S_ISDIR(source.info.st_mode) ? EISDIR : EINVAL, path);
    }
    return source;
}

// Once every byte is copied the copy can no longer be stopped: the rest is the flush and
// the rename, and a half-done rename is worse than a finished switch.
void CopyInto(FileSteps& steps, const OpenSource& from, int to, const std::string& destination,
              CopyProgress& progress) {
    steps.Copy(from.fd.Get(), to, from.info.st_size, destination, progress);
    progress.Finishing();
}

}  // namespace

PosixPlatform::PosixPlatform(std::filesystem::path configHome, FileSteps& steps)
    : configHome_(std::move(configHome)), steps_(steps) {}

std::filesystem::path PosixPlatform::DefaultConfigHome() {
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg != nullptr && xdg[0] == '/') {
        return xdg;
    }
    return HomeFolder() / ".config";
}

std::filesystem::path PosixPlatform::SettingsFile(std::string_view app) const {
    return configHome_ / std::filesystem::path(app) / "settings.ini";
}

IniSettings& PosixPlatform::Store(std::string_view app) {
    auto found = stores_.find(app);
    if (found == stores_.end()) {
        found = stores_.try_emplace(std::string(app), SettingsFile(app), steps_).first;
        if (batching_) {
            found->second.BeginBatch();
        }
    }
    return found->second;
}

std::optional<std::string> PosixPlatform::GetSetting(std::string_view app, std::string_view section,
                                                     std::string_view key) {
    return Store(app).Get(section, key);
}

void PosixPlatform::SaveSetting(std::string_view app, std::string_view section,
                                std::string_view key, std::string_view value) {
    Store(app).Save(section, key, value);
}

void PosixPlatform::BeginSettingsBatch() {
    batching_ = true;
    folders_.Release(true);
    for (auto& [app, store] : stores_) {
        store.BeginBatch();
    }
}

void PosixPlatform::CommitSettings() {
    // A commit comes before anything is shown, and the user may move folders meanwhile.
    folders_.Release(batching_);
    for (auto& [app, store] : stores_) {
        store.Commit();
    }
}

void PosixPlatform::EndSettingsBatch() noexcept {
    batching_ = false;
    folders_.Release(false);
    for (auto& [app, store] : stores_) {
        store.EndBatch();
    }
}

std::string PosixPlatform::LookupEntry(const std::string& path, EntryKind kind) {
    return posix::LookupEntry(path, kind);
}

std::int64_t PosixPlatform::FileSize(const std::string& path) {
    struct stat info {};
    ThrowIfFailed(folders_.Stat(path, info), path);
    if (S_ISDIR(info.st_mode)) {
        throw ErrnoError(EISDIR, path);
    }
    return info.st_size;
}

std::optional<FileIdentity> PosixPlatform::IdentifyFile(const std::string& path) noexcept {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return std::nullopt;
    }
    return FileIdentity{static_cast<std::uint64_t>(info.st_dev),
                        static_cast<std::uint64_t>(info.st_ino)};
}

void PosixPlatform::ReplaceWithCopy(const std::string& source, const std::string& destination,
                                    CopyProgress& progress) {
    OpenSource from = OpenRegularFile(source);
    struct stat existing {};
    mode_t mode = from.info.st_mode & 0666;
    if (::stat(destination.c_str(), &existing) == 0) {
        if (existing.st_dev == from.info.st_dev && existing.st_ino == from.info.st_ino) {
            return;  // the live archive itself: it already is what was asked for
        }
        mode = existing.st_mode & 07777;
    }
    // Held open across the rename, the old archive's blocks are freed when this is closed,
    // not by the rename while the user waits.
    FileDescriptor old(::open(destination.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    WriteAtomically(
        destination, mode, Existing::Replace,
        [&](int fd) { CopyInto(steps_, from, fd, destination, progress); }, steps_);
    if (old.Valid()) {
        closer_.Close(std::move(old));
    }
}

bool PosixPlatform::CopyFileIfAbsent(const std::string& source, const std::string& destination,
                                     CopyProgress& progress) {
    struct stat existing {};
    if (::lstat(destination.c_str(), &existing) == 0) {
        // A link counts as what it leads to; only a file can be a backup already.
        const bool leads = ::stat(destination.c_str(), &existing) == 0;
        if (leads && S_ISREG(existing.st_mode)) {
            return false;
        }
        throw leads && S_ISDIR(existing.st_mode)
            ? Error(EISDIR, std::string(messages::kFolderAtBackup), destination)
            : Error(EEXIST, std::string(messages::kNoFileAtBackup), destination);
    }
    OpenSource from = OpenRegularFile(source);
    return WriteAtomically(
        destination, from.info.st_mode & 0666, Existing::Keep,
        [&](int fd) { CopyInto(steps_, from, fd, destination, progress); }, steps_);
}

void PosixPlatform::MakeFolder(const std::string& path) {
    ThrowIfFailed(::mkdir(path.c_str(), 0777), path);
}

std::optional<std::int64_t> PosixPlatform::FreeSpace(const std::string& folder) noexcept {
    struct statvfs info {};
    if (::statvfs(folder.c_str(), &info) != 0) {
        return std::nullopt;
    }
    return static_cast<std::int64_t>(info.f_bavail) * static_cast<std::int64_t>(info.f_frsize);
}

bool PosixPlatform::HeldByAnotherProgram(const Error&) const {
    return false;  // an open file never keeps a rename from replacing it here
}

void PosixPlatform::RemoveLeftovers(const std::string& folder) noexcept {
    posix::RemoveLeftovers(folder);
}

bool PosixPlatform::PathsMatchIgnoringCase(std::string_view a, std::string_view b) const {
    return EqualIgnoringCase(a, b);
}

char PosixPlatform::DecimalSeparator() const {
    // The user's locale, whatever the process's global locale happens to be.
    locale_t user = ::newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(nullptr));
    if (user == static_cast<locale_t>(nullptr)) {
        return '.';
    }
    const char* radix = ::nl_langinfo_l(RADIXCHAR, user);
    const char separator =
        radix != nullptr && radix[0] != '\0' && radix[1] == '\0' ? radix[0] : '.';
    ::freelocale(user);
    return separator;
}

std::string PosixPlatform::LocalDate() const {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    char text[16] = {};
    if (::localtime_r(&now, &local) == nullptr ||
        std::strftime(text, sizeof text, "%Y-%m-%d", &local) == 0) {
        return "0000-00-00";
    }
    return text;
}

std::string PosixPlatform::SuggestedGameFolder() const {
    if (std::optional<std::string> inSteam = FindGameInSteam(HomeFolder())) {
        return *inSteam;
    }
    return (HomeFolder() / ".steam/steam/steamapps/common/vexmoor").string();
}

}  // namespace vx::posix
