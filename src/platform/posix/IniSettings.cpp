#include "platform/posix/IniSettings.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>

#include "platform/posix/AtomicFile.h"
#include "platform/posix/FileDescriptor.h"
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

// The file's version as fstat or stat tells it; all zero for what ReadWholeFile found absent.
FileVersion VersionOf(const struct stat& info) {
    return {static_cast<std::uint64_t>(info.st_dev),
            static_cast<std::uint64_t>(info.st_ino),
            static_cast<std::uint64_t>(info.st_size),
            static_cast<std::uint64_t>(info.st_mtim.tv_sec),
            static_cast<std::uint64_t>(info.st_mtim.tv_nsec),
            static_cast<std::uint64_t>(info.st_ctim.tv_sec),
            static_cast<std::uint64_t>(info.st_ctim.tv_nsec),
            0};
}

}  // namespace

IniSettings::IniSettings(std::filesystem::path file, FileSteps& steps)
    : IniStore(file.string()), file_(std::move(file)), steps_(steps) {}

FileVersion IniSettings::Version() {
    struct stat info {};
    return ::stat(file_.c_str(), &info) == 0 ? VersionOf(info) : FileVersion{};
}

std::string IniSettings::Read(FileVersion& version) {
    struct stat info {};
    std::string text = ReadWholeFile(file_, info);
    version = VersionOf(info);
    return text;
}

FileVersion IniSettings::Write(const std::string& text) {
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
    return Version();
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
