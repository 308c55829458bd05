#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>

#include "TempFolder.h"
#include "platform/posix/PosixPlatform.h"
#include "state/Error.h"

namespace vx::posix {
namespace {

using test::Listing;
using test::ReadFile;
using test::WriteFile;

// Fails the chosen step of an atomic write, the way a full disk or a failing disk would.
struct FailingSteps : FileSteps {
    std::string failAt;
    void Copy(int from, int to, std::int64_t size, const std::string& path) override {
        if (failAt == "copy") {
            FileSteps::Write(to, "partial", 7, path);
            throw Error(ENOSPC, "No space left on device", path);
        }
        FileSteps::Copy(from, to, size, path);
    }
    void Flush(int fd, const std::string& path) override {
        if (failAt == "flush") {
            throw Error(EIO, "Input/output error", path);
        }
        FileSteps::Flush(fd, path);
    }
    void Rename(int folder, const std::string& from, const std::string& to,
                bool keepExisting) override {
        if (failAt == "rename") {
            throw Error(EBUSY, "Device or resource busy", to);
        }
        FileSteps::Rename(folder, from, to, keepExisting);
    }
};

class PosixFilesTest : public ::testing::Test {
  protected:
    test::TempFolder game;
    FailingSteps steps;
    PosixPlatform platform{game.Path() / "config", steps};
    std::string live = game / "patch_vx.zpk";
};

TEST_F(PosixFilesTest, LookupMatchesTheLastComponentInAnyCase) {
    WriteFile(game / "VexMoor.EXE", "exe");
    WriteFile(game / ".hidden.zpk", "h");
    std::filesystem::create_directory(game / "Mods");
    const std::string base = game.Path().string() + "/";

    EXPECT_EQ(platform.LookupEntry(base + "vexmoor.exe", EntryKind::PlainFiles), "VexMoor.EXE");
    EXPECT_EQ(platform.LookupEntry(base + "MODS", EntryKind::FilesAndFolders), "Mods");
    EXPECT_EQ(platform.LookupEntry(base + "mods", EntryKind::PlainFiles), "");
    EXPECT_EQ(platform.LookupEntry(base + ".hidden.zpk", EntryKind::FilesAndFolders), "");
    EXPECT_EQ(platform.LookupEntry(base + "*.EXE", EntryKind::PlainFiles), "");
    EXPECT_EQ(platform.LookupEntry(base + "missing/vexmoor.exe", EntryKind::PlainFiles), "");

    WriteFile(game / "vexmoor.exe", "an exact match wins over one in other case");
    EXPECT_EQ(platform.LookupEntry(base + "vexmoor.exe", EntryKind::PlainFiles), "vexmoor.exe");
}

TEST_F(PosixFilesTest, SizesAreSixtyFourBitAndMissingFilesFail) {
    const std::string big = game / "big.zpk";
    WriteFile(big, "");
    std::filesystem::resize_file(big, (std::uintmax_t{5} << 30) + 3);  // sparse: no disk used
    EXPECT_EQ(platform.FileSize(big), (std::int64_t{5} << 30) + 3);
    EXPECT_THROW(platform.FileSize(""), Error);
    EXPECT_THROW(platform.FileSize(game / "nothing.zpk"), Error);
    EXPECT_THROW(platform.FileSize(game.Path().string()), Error);
}

TEST_F(PosixFilesTest, ReplaceSwapsTheWholeFileAndKeepsItsPermissions) {
    const std::string mod = game / "a mod ü.zpk";
    WriteFile(live, "original");
    WriteFile(mod, std::string(3 << 20, 'm'));
    ::chmod(live.c_str(), 0444);

    platform.ReplaceFile(mod, live);
    EXPECT_EQ(ReadFile(live), ReadFile(mod));
    struct stat info {};
    ASSERT_EQ(::stat(live.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0444U);
    EXPECT_EQ(Listing(game.Path()), "a mod ü.zpk;patch_vx.zpk;");

    platform.ReplaceFile(live, live);  // a repaired entry names the live archive itself
    EXPECT_EQ(ReadFile(live), ReadFile(mod));
}

TEST_F(PosixFilesTest, AFailureAtAnyStepLeavesTheLiveArchiveAndNoTemporaryFile) {
    const std::string mod = game / "mod.zpk";
    WriteFile(live, "original");
    WriteFile(mod, "the mod");
    for (const char* step : {"copy", "flush", "rename"}) {
        steps.failAt = step;
        EXPECT_THROW(platform.ReplaceFile(mod, live), Error) << step;
        EXPECT_EQ(ReadFile(live), "original") << step;
        EXPECT_EQ(Listing(game.Path()), "mod.zpk;patch_vx.zpk;") << step;
    }
    steps.failAt.clear();
    EXPECT_THROW(platform.ReplaceFile(game / "deleted.zpk", live), Error);
    EXPECT_THROW(platform.ReplaceFile(mod, game / "no folder/patch_vx.zpk"), Error);
    EXPECT_EQ(ReadFile(live), "original");
}

TEST_F(PosixFilesTest, CopyIfAbsentNeverOverwrites) {
    std::filesystem::create_directory(game / "mods");
    const std::string backup = game / "mods/NORMAL_patch_vx.zpk";
    WriteFile(live, "original");
    EXPECT_TRUE(platform.CopyFileIfAbsent(live, backup));
    EXPECT_EQ(ReadFile(backup), "original");

    WriteFile(live, "a mod");
    EXPECT_FALSE(platform.CopyFileIfAbsent(live, backup));
    EXPECT_EQ(ReadFile(backup), "original");
    EXPECT_EQ(Listing(game.Path() / "mods"), "NORMAL_patch_vx.zpk;");

    // Even a dangling link counts as something standing there.
    std::filesystem::create_symlink(game / "nowhere", game / "mods/link.zpk");
    EXPECT_FALSE(platform.CopyFileIfAbsent(live, game / "mods/link.zpk"));
    EXPECT_THROW(platform.CopyFileIfAbsent(live, game / "missing/NORMAL_patch_vx.zpk"), Error);
}

TEST_F(PosixFilesTest, LeftoversAreRemovedAndNothingElse) {
    WriteFile(game / ".patchkeeper-0123456789abcdef.tmp", "left by a killed switch");
    WriteFile(game / ".patchkeeper-notrandom.tmp", "not ours");
    WriteFile(game / "patch_vx.zpk", "live");
    platform.RemoveLeftovers(game.Path().string());
    platform.RemoveLeftovers(game / "does not exist");
    EXPECT_EQ(Listing(game.Path()), ".patchkeeper-notrandom.tmp;patch_vx.zpk;");
}

TEST_F(PosixFilesTest, MakeFolderFailsLoudly) {
    platform.MakeFolder(game / "mods");
    EXPECT_TRUE(std::filesystem::is_directory(game.Path() / "mods"));
    EXPECT_THROW(platform.MakeFolder(game / "mods"), Error);
    EXPECT_THROW(platform.MakeFolder(game / "a/b"), Error);
}

}  // namespace
}  // namespace vx::posix
