// Real failures of real files, met by the window logic over the real platform services:
// each must be reported with a clear message and leave the live archive, the store and the
// folders exactly as they were, with no temporary file behind.

#include <fcntl.h>
#include <linux/fs.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "ChildProcess.h"
#include "DiskState.h"
#include "Failures.h"
#include "GameInstall.h"
#include "Session.h"
#include "platform/posix/PosixError.h"

namespace vx::test {
namespace {

using ::testing::HasSubstr;

// Fails the chosen step of the next atomic write, once, the way a failing or full disk
// would; every other step is the system's own.
struct FailingSteps : posix::FileSteps {
    std::string failAt;
    void Copy(int from, int to, std::int64_t size, const std::string& path) override {
        if (Take("copy")) {
            FileSteps::Write(to, "part of it", 10, path);
            throw posix::ErrnoError(ENOSPC, path);
        }
        FileSteps::Copy(from, to, size, path);
    }
    void Write(int to, const char* data, std::size_t size, const std::string& path) override {
        if (Take("write")) {
            FileSteps::Write(to, data, size / 2, path);
            throw posix::ErrnoError(ENOSPC, path);
        }
        FileSteps::Write(to, data, size, path);
    }
    void Flush(int fd, const std::string& path) override {
        if (Take("flush")) {
            throw posix::ErrnoError(EIO, path);
        }
        FileSteps::Flush(fd, path);
    }
    void Rename(int folder, const std::string& from, const std::string& to,
                bool keepExisting) override {
        if (Take("rename")) {
            throw posix::ErrnoError(EBUSY, to);
        }
        FileSteps::Rename(folder, from, to, keepExisting);
    }
    bool Take(const char* step) {
        if (failAt != step) {
            return false;
        }
        failAt.clear();
        return true;
    }
};

// Keeps even root from writing into `path` while it lives: the immutable attribute binds
// every user, where permission bits bind all but root. Not every file system has it.
class WriteProtection {
  public:
    explicit WriteProtection(std::string path) : path_(std::move(path)) {
        if (::geteuid() != 0) {
            applied_ = ::chmod(path_.c_str(), 0555) == 0;
            return;
        }
        applied_ = SetImmutable(true);
    }
    ~WriteProtection() {
        if (applied_ && ::geteuid() == 0) {
            SetImmutable(false);
        } else if (applied_) {
            ::chmod(path_.c_str(), 0755);
        }
    }
    WriteProtection(const WriteProtection&) = delete;
    WriteProtection& operator=(const WriteProtection&) = delete;

    bool Applied() const { return applied_; }
    // EPERM for the immutable attribute, EACCES for permission bits.
    static int ExpectedError() { return ::geteuid() == 0 ? EPERM : EACCES; }

  private:
    bool SetImmutable(bool on) const {
        const int fd = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        int flags = 0;
        bool done = fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        if (done) {
            flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
            done = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        }
        if (fd >= 0) {
            ::close(fd);
        }
        return done;
    }
    std::string path_;
    bool applied_ = false;
};

class FaultInjectionTest : public ::testing::Test {
  protected:
    // A game in use: the first run made the backup, and one mod is registered.
    void SetUp() override {
        WriteFile(mod, std::string(8 << 20, 'm'));
        Session first(install.platform);
        first.Start();
        first.Add(mod);
        ASSERT_EQ(first.list1.items, (std::vector<std::string>{install.backup, mod}));
    }
    // The game folder, the store and the user's archives, to compare before and after.
    std::string Everything() const { return Fingerprint({install.root.Path().string()}); }

    // What the first run finds: the game folder remembered, nothing else.
    void MakeFirstRun() {
        std::filesystem::remove(install.backup);
        std::filesystem::remove(install.SettingsFile());
        ModRegistry(install.platform).WriteGameFolder(install.game);
    }

    FailingSteps steps;
    GameInstall install{"the game's own archive", steps};
    std::string mod = install.archives + "/big mod.zpk";
};

// Runs `operation` in a copy of this process that may write no file larger than 1 MiB, as
// on a disk with that much room left, and answers the failure's number and the text the
// error box would show.
template <typename Operation>
std::pair<int, std::string> UnderFileSizeLimit(Operation operation) {
    const std::string answer = RunInChild([&] {
        ::signal(SIGXFSZ, SIG_IGN);  // the write then fails with EFBIG instead of killing
        const rlimit limit{1 << 20, 1 << 20};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        const auto error = FailureOf(operation);
        return error ? std::to_string(error->Number()) + "\n" + FormatError(*error)
                     : std::string("0\nno failure");
    });
    const auto newline = answer.find('\n');
    return {std::atoi(answer.substr(0, newline).c_str()),
            newline == std::string::npos ? answer : answer.substr(newline + 1)};
}

TEST_F(FaultInjectionTest, AFullDiskStopsTheSwitchTheBackupAndTheSaveWithNothingChanged) {
    const std::string before = Everything();
    const auto [number, shown] = UnderFileSizeLimit([&] {
        Session session(install.platform);
        session.Start();
        session.Switch(1);
    });
    EXPECT_EQ(number, EFBIG) << shown;
    EXPECT_THAT(shown, HasSubstr(std::strerror(EFBIG)));
    EXPECT_THAT(shown, HasSubstr(install.live));
    EXPECT_EQ(Everything(), before);

    // A store already as large as the disk allows: a save cannot rewrite it.
    ModRegistry(install.platform).WriteEntry(9, std::string(1 << 20, 'x'));
    const std::string fullStore = Everything();
    const auto [saveNumber, saveShown] = UnderFileSizeLimit([&] {
        Session session(install.platform);
        session.Start();
        session.Add(install.archives + "/another mod.zpk");
    });
    EXPECT_EQ(saveNumber, EFBIG) << saveShown;
    EXPECT_THAT(saveShown, HasSubstr(install.SettingsFile()));
    EXPECT_EQ(Everything(), fullStore);

    MakeFirstRun();
    WriteFile(install.live, std::string(4 << 20, 'g'));
    const std::string firstRun = Everything();
    const auto [backupNumber, backupShown] = UnderFileSizeLimit([&] {
        Session session(install.platform);
        session.Start();
    });
    EXPECT_EQ(backupNumber, EFBIG) << backupShown;
    EXPECT_THAT(backupShown, HasSubstr(install.backup));
    EXPECT_EQ(Everything(), firstRun) << "no partial backup, nothing registered";
}

TEST_F(FaultInjectionTest, AFailureAtEachStepOfASwitchIsReportedAndChangesNothing) {
    const std::string before = Everything();
    for (const auto& [step, number] :
         {std::pair{"copy", ENOSPC}, std::pair{"flush", EIO}, std::pair{"rename", EBUSY}}) {
        Session session(install.platform);
        session.Start();
        steps.failAt = step;
        ExpectReported(FailureOf([&] { session.Switch(1); }), number, install.live);
        EXPECT_EQ(Everything(), before) << step;
        // The window stays as it was: the list is not rebuilt, the label does not move.
        EXPECT_EQ(session.list1.selected, 1) << step;
        EXPECT_EQ(session.label2.caption, "NORMAL_patch_vx.zpk") << step;
    }
}

TEST_F(FaultInjectionTest, AFailureAtEachStepOfTheBackupRegistersNothing) {
    MakeFirstRun();
    const std::string before = Everything();
    for (const auto& [step, number] :
         {std::pair{"copy", ENOSPC}, std::pair{"flush", EIO}, std::pair{"rename", EBUSY}}) {
        Session session(install.platform);
        steps.failAt = step;
        ExpectReported(FailureOf([&] { session.Start(); }), number, install.backup);
        EXPECT_EQ(Everything(), before) << step;
        EXPECT_TRUE(session.list1.items.empty()) << step;
    }
    Session session(install.platform);
    session.Start();
    EXPECT_EQ(session.list1.items, std::vector<std::string>{install.backup});
    EXPECT_EQ(ReadFile(install.backup), "the game's own archive");
}

TEST_F(FaultInjectionTest, AFailureAtEachStepOfASettingsSaveKeepsTheStoreAsItWas) {
    const std::string other = install.archives + "/other.zpk";
    WriteFile(other, "other");
    const std::string before = Everything();
    for (const auto& [step, number] :
         {std::pair{"write", ENOSPC}, std::pair{"flush", EIO}, std::pair{"rename", EBUSY}}) {
        Session session(install.platform);
        session.Start();
        steps.failAt = step;
        ExpectReported(FailureOf([&] { session.Add(other); }), number, install.SettingsFile());
        EXPECT_EQ(Everything(), before) << step;
    }
}

TEST_F(FaultInjectionTest, AWriteProtectedGameFolderRefusesTheSwitchAndTheBackup) {
    {
        const WriteProtection protection(install.game);
        if (!protection.Applied()) {
            GTEST_SKIP() << "this file system has no immutable attribute, and root ignores "
                            "permission bits";
        }
        const std::string before = Everything();
        Session session(install.platform);
        session.Start();
        const auto error = FailureOf([&] { session.Switch(1); });
        ExpectReported(error, WriteProtection::ExpectedError(), install.live);
        EXPECT_THAT(FormatError(*error), HasSubstr("You may not write there"));
        EXPECT_EQ(Everything(), before);
    }
    {
        // The live archive alone protected: the folder takes the new file, but it may not
        // replace the old one.
        const WriteProtection protection(install.live);
        if (::geteuid() == 0) {
            const std::string before = Everything();
            Session session(install.platform);
            session.Start();
            ExpectReported(FailureOf([&] { session.Switch(1); }), EPERM, install.live);
            EXPECT_EQ(Everything(), before);
        }
    }
    MakeFirstRun();
    const WriteProtection protection(install.mods);
    const std::string before = Everything();
    Session session(install.platform);
    ExpectReported(FailureOf([&] { session.Start(); }), WriteProtection::ExpectedError(),
                   install.backup);
    EXPECT_EQ(Everything(), before);
}

TEST_F(FaultInjectionTest, ASourceArchiveGoneOrNoLongerAFileSinceItWasListedIsReported) {
    Session session(install.platform);
    session.Start();
    std::filesystem::remove(mod);
    const std::string before = Everything();
    ExpectReported(FailureOf([&] { session.Switch(1); }), ENOENT, mod);
    EXPECT_EQ(Everything(), before);

    std::filesystem::create_directory(mod);
    ExpectReported(FailureOf([&] { session.Switch(1); }), EISDIR, mod);
    std::filesystem::remove(mod);

    // A named pipe with nobody writing to it: opening it to read must not wait forever.
    ASSERT_EQ(::mkfifo(mod.c_str(), 0644), 0);
    const std::string withPipe = Everything();
    const std::string answer = RunInChild(
        [&] {
            const auto error = FailureOf([&] { session.Switch(1); });
            return error ? FormatError(*error) : std::string("no failure");
        },
        std::chrono::seconds(10));
    EXPECT_THAT(answer, HasSubstr(mod));
    EXPECT_THAT(answer, ::testing::StartsWith("Error "));
    EXPECT_EQ(Everything(), withPipe);
}

TEST_F(FaultInjectionTest, AMissingModsFolderOrAFileInItsPlaceFailsTheFirstRunCleanly) {
    MakeFirstRun();
    std::filesystem::remove(install.mods);
    const std::string before = Everything();
    Session missing(install.platform);
    ExpectReported(FailureOf([&] { missing.Start(); }), ENOENT, install.mods);
    EXPECT_EQ(Everything(), before);

    WriteFile(install.mods, "not a folder");
    const std::string withFile = Everything();
    Session replaced(install.platform);
    ExpectReported(FailureOf([&] { replaced.Start(); }), ENOTDIR, install.mods);
    EXPECT_EQ(Everything(), withFile);
}

TEST_F(FaultInjectionTest, AGameFolderGoneSinceItWasRememberedLosesNoEntry) {
    const std::filesystem::path moved = install.root.Path() / "moved away";
    std::filesystem::rename(install.game, moved);
    const std::string before = Everything();

    // A later start lists the entries as stored and says once that the game's archive is
    // missing; a switch then fails on the folder and creates nothing.
    Session session(install.platform);
    session.Start();
    EXPECT_EQ(session.list1.items, (std::vector<std::string>{install.backup, mod}));
    EXPECT_EQ(session.boxes.shown, (std::vector<std::pair<std::string, std::string>>{
                                       {"File not found " + install.live, "Could not find file"}}));
    ExpectReported(FailureOf([&] { session.Switch(1); }), ENOENT, install.game);
    EXPECT_EQ(Everything(), before);

    // A first run finds no archive to back up.
    MakeFirstRun();
    const std::string firstRun = Everything();
    Session first(install.platform);
    ExpectReported(FailureOf([&] { first.Start(); }), ENOENT, install.live);
    EXPECT_EQ(Everything(), firstRun);
}

TEST_F(FaultInjectionTest, AReadOnlyLiveArchiveIsStillReplacedAndStaysReadOnly) {
    ASSERT_EQ(::chmod(install.live.c_str(), 0444), 0);
    Session session(install.platform);
    session.Start();
    for (int item : {1, 0, 1}) {
        session.Switch(item);
        EXPECT_EQ(ReadWholeFile(install.live),
                  ReadWholeFile(session.list1.items.at(static_cast<std::size_t>(item))));
        struct stat info {};
        ASSERT_EQ(::stat(install.live.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, 0444U) << "after switching to item " << item;
    }
    EXPECT_EQ(session.label2.caption, "big mod.zpk");
    EXPECT_EQ(TemporaryFiles(install.root.Path().string()), std::vector<std::string>{});
}

}  // namespace
}  // namespace vx::test
