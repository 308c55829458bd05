#include "IniSettings.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>

#include "AtomicFile.h"
#include "FileDescriptor.h"
#include "IniFormat.h"
#include "PosixError.h"
#include "PosixFiles.h"

namespace vx::posix {
namespace {

// The file's whole text; empty when there is no file yet. Anything else that keeps it from
// being read is a failure, so that a save never replaces a file it could not read.
std::string ReadWholeFile(const std::filesystem::path& file) {
    // O_NONBLOCK: a named pipe in the file's place must not keep the program waiting in
    // open() for a writer. It is refused below like anything else that is not a file.
    FileDescriptor fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (!fd.Valid()) {
        if (errno == ENOENT) {
            return {};
        }
        throw ErrnoError(errno, file.string());
    }
    struct stat info {};
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

std::optional<std::string> IniSettings::Get(std::string_view section, std::string_view key) const {
    const IniDocument document = ParseIni(ReadWholeFile(file_), file_.string());
    if (const std::string* value = document.Find(section, key)) {
        return *value;
    }
    return std::nullopt;
}

void IniSettings::Save(std::string_view section, std::string_view key, std::string_view value) {
    IniDocument document = ParseIni(ReadWholeFile(file_), file_.string());
    document.Set(section, key, value);
    const std::string text = FormatIni(document);

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
}

}  // namespace vx::posix
