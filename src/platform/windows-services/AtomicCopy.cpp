#include "platform/windows-services/AtomicCopy.h"

#include <bcrypt.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <utility>

#include "platform/windows-services/Handle.h"
#include "platform/windows-services/LongPath.h"
#include "platform/windows-services/Messages.h"
#include "platform/windows-services/Utf.h"
#include "platform/windows-services/Win32Error.h"
#include "platform/windows-services/Win32Files.h"
#include "state/BackupMessages.h"
#include "state/CopyProgress.h"
#include "state/TemporaryName.h"

namespace vx::windows {

namespace {

// Above this size a copy bypasses the system cache, which it would otherwise flush out.
constexpr std::int64_t kUnbufferedFrom = std::int64_t{64} << 20;

// Attributes the live archive keeps across a switch; the others cannot be set by name.
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                  FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// Virus scanners and indexers open a new file for a moment; a rename refused meanwhile
// succeeds a little later.
constexpr DWORD kRetryDelaysMs[] = {50, 100, 200, 400};

std::wstring NewTemporaryName() {
    std::uint64_t value = 0;
    if (!BCRYPT_SUCCESS(BCryptGenRandom(nullptr, reinterpret_cast<PUCHAR>(&value), sizeof value,
                                        BCRYPT_USE_SYSTEM_PREFERRED_RNG))) {
        // The name only has to be new in its folder, and the copy refuses one that is not.
        LARGE_INTEGER counter{};
        QueryPerformanceCounter(&counter);
        value = static_cast<std::uint64_t>(counter.QuadPart) ^
                (static_cast<std::uint64_t>(GetCurrentProcessId()) << 40);
    }
    return ToUtf16(TemporaryName(value));
}

// The number of the failure a step throws, ERROR_SUCCESS when it does not fail: what the
// copy does next depends on the number alone.
template <typename Step>
DWORD Attempt(Step&& step) {
    try {
        step();
    } catch (const Error& error) {
        return static_cast<DWORD>(error.Number());
    }
    return ERROR_SUCCESS;
}

// DeleteFileW refuses a read-only file, and a temporary file carries the live archive's
// attributes from just before its rename.
void RemoveFile(const std::wstring& path) {
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(path.c_str());
}

DWORD SettableAttributes(DWORD attributes) {
    attributes &= kKeptAttributes;
    return attributes != 0 ? attributes : FILE_ATTRIBUTE_NORMAL;
}

// Deletes the temporary file when the copy does not get as far as renaming it.
class TemporaryFile {
  public:
    explicit TemporaryFile(std::wstring path) : path_(std::move(path)) {}
    TemporaryFile(TemporaryFile&& other) noexcept : path_(std::exchange(other.path_, {})) {}
    TemporaryFile& operator=(TemporaryFile&&) = delete;
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile() {
        if (!path_.empty()) {
            RemoveFile(path_);
        }
    }

    const std::wstring& Path() const { return path_; }
    void Release() { path_.clear(); }

  private:
    std::wstring path_;
};

// Two paths may differ and still name one file: letter case, a doubled separator, a short
// name, a hard link, another drive letter for the same folder.
bool IsSameFile(const std::wstring& first, const std::wstring& second) {
    const std::optional<FileIdentity> a = IdentifyApiPath(first);
    return a && a == IdentifyApiPath(second);
}

// Only a file can be a backup already; a link counts as what it leads to. Whatever else
// stands there is the user's to move: it is never replaced.
void RefuseAllButAFile(const std::wstring& path, DWORD attributes, const std::string& shown) {
    BY_HANDLE_FILE_INFORMATION target{};
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        attributes =
            ReadFileInformation(path, target) ? target.dwFileAttributes : INVALID_FILE_ATTRIBUTES;
    }
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        throw ExplainedError(ERROR_ALREADY_EXISTS, messages::kFolderAtBackup.data(), shown);
    }
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DEVICE)) {
        throw ExplainedError(ERROR_ALREADY_EXISTS, messages::kNoFileAtBackup.data(), shown);
    }
}

std::int64_t SizeOrZero(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) {
        return 0;
    }
    return static_cast<std::int64_t>((static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) |
                                     data.nFileSizeLow);
}

bool CanRead(const std::wstring& path) {
    UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return static_cast<bool>(file);
}

// A failed copy names whichever side failed: the temporary file is new, so a file held
// open is the source; with a readable source, a refusal is the destination's folder.
Error CopyError(DWORD code, const std::wstring& from, const std::string& source,
                const std::string& destination) {
    if (code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION) {
        return ExplainedError(code, kFileInUse, source);
    }
    if (!CanRead(from)) {
        return SystemError(code, source);
    }
    if (code == ERROR_ACCESS_DENIED) {
        return ExplainedError(code, kFolderNotWritable, destination);
    }
    return SystemError(code, destination);
}

// Whether another program holds `path` open without letting it go, as the running game holds
// its archive. A rename over such a file is refused as access denied, like one over a file
// the user may not change; only the file itself tells the two apart.
bool HeldOpen(const std::wstring& path) {
    UniqueFile file(CreateFileW(path.c_str(), DELETE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return !file && GetLastError() == ERROR_SHARING_VIOLATION;
}

Error MoveError(DWORD code, const std::wstring& to, const std::string& destination) {
    if (code == ERROR_ACCESS_DENIED && HeldOpen(to)) {
        code = ERROR_SHARING_VIOLATION;
    }
    switch (code) {
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            return ExplainedError(code, kFileInUse, destination);
        case ERROR_ACCESS_DENIED:
            return ExplainedError(code, kCannotReplace, destination);
        default:
            return SystemError(code, destination);
    }
}

bool IsTransient(DWORD code) {
    return code == ERROR_ACCESS_DENIED || code == ERROR_SHARING_VIOLATION ||
           code == ERROR_LOCK_VIOLATION;
}

DWORD MoveWithRetries(FileSteps& steps, const std::wstring& from, const std::wstring& to,
                      bool replace) {
    const auto move = [&] { steps.Move(from, to, replace); };
    DWORD code = Attempt(move);
    for (DWORD delay : kRetryDelaysMs) {
        if (!IsTransient(code)) {
            break;
        }
        Sleep(delay);
        code = Attempt(move);
    }
    return code;
}

void Report(CopyProgress& progress, std::int64_t done, std::int64_t size) {
    if (!progress.Copied(done, size)) {
        throw CopyCancelled();
    }
}

TemporaryFile CopyToTemporary(FileSteps& steps, const std::wstring& from, const std::wstring& to,
                              const std::string& source, const std::string& destination,
                              CopyProgress& progress) {
    const std::int64_t size = SizeOrZero(from);
    const bool unbuffered = size > kUnbufferedFrom;
    // Whoever waits knows the total before the first byte moves.
    Report(progress, 0, size);
    const std::wstring folder = FolderPart(to);
    for (int attempt = 1;; ++attempt) {
        std::wstring temp = folder + NewTemporaryName();
        DWORD code = ERROR_SUCCESS;
        try {
            code = Attempt([&] { steps.Copy(from, temp, unbuffered, progress); });
        } catch (const CopyCancelled&) {
            RemoveFile(temp);  // the system deletes what it wrote; a fault seam may not
            throw;
        }
        if (code == ERROR_SUCCESS) {
            TemporaryFile copy(std::move(temp));
            // Some systems' copies (Wine's) never call their progress routine: the copy can
            // still be stopped at its end there.
            Report(progress, size, size);
            return copy;
        }
        const bool taken = code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS;
        if (taken && attempt < kTemporaryNameTries) {
            continue;  // someone else's file: leave it alone and draw another name
        }
        if (!taken) {
            RemoveFile(temp);  // whatever part of the copy was written
        }
        throw CopyError(code, from, source, destination);
    }
}

// The common path of both copies. Answers false only when `replace` is off and something
// stands at the destination already.
bool CopyThroughTemporary(FileSteps& steps, const std::string& source,
                          const std::string& destination, bool replace, CopyProgress& progress) {
    const std::wstring from = ApiPath(source);
    const std::wstring to = ApiPath(destination);
    const DWORD oldAttributes = GetFileAttributesW(to.c_str());
    const bool exists = oldAttributes != INVALID_FILE_ATTRIBUTES;
    if (exists && !replace) {
        RefuseAllButAFile(to, oldAttributes, destination);
        return false;
    }
    if (exists && (oldAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        throw ExplainedError(ERROR_ACCESS_DENIED, kFolderInTheWay, destination);
    }
    if (exists && IsSameFile(from, to)) {
        return true;
    }

    TemporaryFile temp = CopyToTemporary(steps, from, to, source, destination, progress);
    // What is left cannot be stopped halfway: a half-done switch is worse than a whole one.
    progress.Finishing();
    // The copy took the source's attributes; a read-only one could not even be flushed.
    if (!SetFileAttributesW(temp.Path().c_str(), FILE_ATTRIBUTE_NORMAL)) {
        throw LastError(destination);
    }
    if (const DWORD code = Attempt([&] { steps.Flush(temp.Path()); }); code != ERROR_SUCCESS) {
        throw SystemError(code, destination);
    }
    // Giving the new file the old one's attributes before the rename, rather than after,
    // means no moment exists in which the live archive lacks them.
    if (exists && (oldAttributes & kKeptAttributes) &&
        !SetFileAttributesW(temp.Path().c_str(), SettableAttributes(oldAttributes))) {
        throw LastError(destination);
    }
    // MoveFileExW will not replace a read-only file.
    const bool unlocked = exists && (oldAttributes & FILE_ATTRIBUTE_READONLY);
    if (unlocked &&
        !SetFileAttributesW(to.c_str(),
                            SettableAttributes(oldAttributes & ~DWORD{FILE_ATTRIBUTE_READONLY}))) {
        throw MoveError(GetLastError(), to, destination);
    }

    const DWORD code = MoveWithRetries(steps, temp.Path(), to, replace);
    if (code != ERROR_SUCCESS) {
        if (unlocked) {
            SetFileAttributesW(to.c_str(), SettableAttributes(oldAttributes));
        }
        if (!replace && (code == ERROR_ALREADY_EXISTS || code == ERROR_FILE_EXISTS)) {
            return false;
        }
        throw MoveError(code, to, destination);
    }
    temp.Release();
    return true;
}

}  // namespace

void ReplaceWithCopy(FileSteps& steps, const std::string& source, const std::string& destination,
                     CopyProgress& progress) {
    CopyThroughTemporary(steps, source, destination, true, progress);
}

bool CopyFileIfAbsent(FileSteps& steps, const std::string& source, const std::string& destination,
                      CopyProgress& progress) {
    return CopyThroughTemporary(steps, source, destination, false, progress);
}

void WriteAtomically(FileSteps& steps, const std::string& destination, std::string_view text) {
    const std::wstring to = ApiPath(destination);
    const DWORD oldAttributes = GetFileAttributesW(to.c_str());
    if (oldAttributes != INVALID_FILE_ATTRIBUTES && (oldAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        throw ExplainedError(ERROR_ACCESS_DENIED, kFolderInTheWay, destination);
    }
    const std::wstring folder = FolderPart(to);
    for (int attempt = 1;; ++attempt) {
        std::wstring path = folder + NewTemporaryName();
        UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) {
            const DWORD code = GetLastError();
            if ((code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS) &&
                attempt < kTemporaryNameTries) {
                continue;  // someone else's file: leave it alone and draw another name
            }
            throw SystemError(code, destination);
        }
        TemporaryFile temp(std::move(path));
        for (std::string_view rest = text; !rest.empty();) {
            const auto chunk = static_cast<DWORD>(std::min<std::size_t>(rest.size(), 1 << 20));
            DWORD written = 0;
            if (!WriteFile(file.Get(), rest.data(), chunk, &written, nullptr)) {
                throw LastError(destination);
            }
            rest.remove_prefix(written);
        }
        file.Reset();
        if (const DWORD code = Attempt([&] { steps.Flush(temp.Path()); }); code != ERROR_SUCCESS) {
            throw SystemError(code, destination);
        }
        if (const DWORD code = MoveWithRetries(steps, temp.Path(), to, true);
            code != ERROR_SUCCESS) {
            throw MoveError(code, to, destination);
        }
        temp.Release();
        return;
    }
}

void RemoveLeftovers(const std::string& folder) noexcept {
    try {
        std::wstring base = ApiPath(folder);
        if (!base.empty() && base.back() != L'\\' && base.back() != L'/' && base.back() != L':') {
            base += L'\\';
        }
        const std::wstring pattern =
            base + ToUtf16(kTemporaryPrefix) + L"*" + ToUtf16(kTemporarySuffix);
        WIN32_FIND_DATAW entry{};
        UniqueFind find(FindFirstFileW(pattern.c_str(), &entry));
        if (!find) {
            return;
        }
        do {
            if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                IsTemporaryName(ToUtf8(entry.cFileName))) {
                RemoveFile(base + entry.cFileName);
            }
        } while (FindNextFileW(find.Get(), &entry));
    } catch (...) {
        // Best effort: a leftover that stays costs disk space, nothing else.
    }
}

}  // namespace vx::windows
