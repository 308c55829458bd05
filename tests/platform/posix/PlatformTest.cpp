// The Linux services on real files and the real store: what they find, copy and
// keep, and that a copy stopped or refused leaves nothing behind.

#include <algorithm>
#include <random>

#include "platform/posix/Support.h"

namespace vx::test {
namespace {

// Counts are read in the user's locale; the cases here are written for the
// point.
[[maybe_unused]] const bool kPointLocale = ::setenv("LC_ALL", "C", 1) == 0;

struct InstallTest : ::testing::Test, Install {
    // Switch To's copy, or else the backup's.
    void Copy(bool replace, CopyProgress& to) {
        if (replace) {
            services.files.ReplaceWithCopy(mod, live, to);
        } else {
            services.files.CopyFileIfAbsent(mod, backup, to);
        }
    }
};

// A name looked up in the archives folder, and what it finds there ("" for
// nothing).
struct Lookup {
    const char* name;
    EntryKind kind;
    const char* found;
};

TEST_F(InstallTest, LookupMatchesAnyCaseExactFirstNeverAHiddenOneAndSizesAre64Bit) {
    for (const char* name : {"VexMoor.EXE", ".hidden.zpk", "Both.zpk", "both.zpk"}) {
        WriteFile(archives + "/" + name, "");
    }
    std::filesystem::create_directory(archives + "/Mods");
    for (const auto& [name, kind, found] :
         {Lookup{"vexmoor.exe", EntryKind::PlainFiles, "VexMoor.EXE"},
          Lookup{"both.zpk", EntryKind::PlainFiles, "both.zpk"},
          Lookup{"Both.zpk", EntryKind::PlainFiles, "Both.zpk"},
          Lookup{"MODS", EntryKind::FilesAndFolders, "Mods"},
          Lookup{"mods", EntryKind::PlainFiles, ""},
          Lookup{".hidden.zpk", EntryKind::FilesAndFolders, ""},
          Lookup{"*.EXE", EntryKind::PlainFiles, ""},
          Lookup{"missing/vexmoor.exe", EntryKind::PlainFiles, ""}}) {
        EXPECT_EQ(services.files.LookupEntry(archives + "/" + name, kind), found) << name;
    }
    std::filesystem::resize_file(archives + "/both.zpk", (std::uintmax_t{5} << 30) + 3);
    EXPECT_EQ(services.files.FileSize(archives + "/both.zpk"), (std::int64_t{5} << 30) + 3);
    for (const std::string& path : {std::string(), archives + "/gone", archives}) {
        EXPECT_THROW(services.files.FileSize(path), Error) << path;
    }
}

// A command holds the folders of the files it looks at; a folder replaced once
// they are let go (after the command, or before it shows anything) is looked at
// anew.
TEST_F(InstallTest, AFolderReplacedOnceTheFoldersAreLetGoIsLookedAtAnew) {
    const std::string held = archives + "/held";
    std::filesystem::create_directory(held);
    WriteFile(held + "/mod.zpk", "old");
    services.files.HoldFolders(true);
    EXPECT_EQ(services.files.FileSize(held + "/mod.zpk"), 3);
    services.files.HoldFolders(true);
    std::filesystem::remove_all(held);
    std::filesystem::create_directory(held);
    WriteFile(held + "/mod.zpk", "newer");
    EXPECT_EQ(services.files.FileSize(held + "/mod.zpk"), 5);
    services.files.HoldFolders(false);
}

// A file where the backup belongs is a backup already: the copy leaves it
// alone, even one that appears while it runs. (What else may stand there is the
// fault table's matter.)
TEST_F(InstallTest, TheBackupNeverReplacesAFileEvenOneThatAppearsWhileItCopies) {
    WriteFile(backup, "kept");
    EXPECT_FALSE(services.files.CopyFileIfAbsent(live, backup, progress));
    std::filesystem::remove(backup);
    steps.at = "copy";
    steps.meanwhile = [&] { WriteFile(backup, "appeared"); };
    EXPECT_FALSE(services.files.CopyFileIfAbsent(live, backup, progress));
    EXPECT_EQ(ReadFile(backup), "appeared");
    EXPECT_EQ(Leftovers(root), std::vector<std::string>{});
}

TEST_F(InstallTest, ACopyStopsAtAnyPointLeavingNothingOrReportsItsWholeWayInOrder) {
    const std::int64_t size = std::int64_t{40} << 20;
    WriteFile(mod, std::string(static_cast<std::size_t>(size), 'm'));
    std::mt19937_64 random(Seed());
    const std::int64_t anywhere = std::uniform_int_distribution<std::int64_t>(1, size)(random);
    for (const bool replace : {true, false}) {
        for (const std::int64_t stop : {std::int64_t{0}, anywhere, size}) {
            SCOPED_TRACE((replace ? "switch stopped at " : "backup stopped at ") +
                         std::to_string(stop));
            const auto before = Everything();
            RecordingProgress stopping;
            stopping.stopFrom = stop;
            EXPECT_THROW(Copy(replace, stopping), CopyCancelled);
            EXPECT_FALSE(stopping.finishing);
            EXPECT_EQ(Everything(), before);
        }
        RecordingProgress whole;
        Copy(replace, whole);
        EXPECT_TRUE(std::is_sorted(whole.done.begin(), whole.done.end()));
        EXPECT_GT(whole.done.size(), 2U) << "reported only at the ends";
        EXPECT_EQ(whole.done.front(), 0);
        EXPECT_EQ(whole.done.back(), size);
        EXPECT_EQ(whole.total, size);
        EXPECT_TRUE(whole.finishing);
    }
    EXPECT_EQ(ReadFile(live), ReadFile(mod));
    EXPECT_EQ(ReadFile(backup), ReadFile(mod));
    // A repaired entry names the live archive itself: it is left as it is, not
    // copied anew.
    std::filesystem::create_hard_link(live, root + "/same file");
    services.files.ReplaceWithCopy(live, live, progress);
    EXPECT_EQ(std::filesystem::hard_link_count(live), 2U);
}

TEST_F(InstallTest, LeftoversOfEitherPlatformsAtomicWritesAreRemovedAndNothingElse) {
    for (const char* name : {".patchkeeper-notrandom.tmp", ".patchkeeper-0123456789abcdeg.tmp",
                             ".patchkeeper-0123456789abcdef.tmp.zpk"}) {
        WriteFile(game + "/" + name, "not one of ours");
    }
    const auto before = Everything();
    WriteFile(game + "/.patchkeeper-0123456789abcdef.tmp", "left by a killed switch");
    WriteFile(game + "/.patchkeeper-FEDCBA9876543210.tmp", "left by a killed switch");
    services.files.RemoveLeftovers(game);
    services.files.RemoveLeftovers(game + "/does not exist");
    EXPECT_EQ(Everything(), before);
}

// Values come back as written when the next start reads the file.
TEST_F(InstallTest, KeepsTheRegistryInAnIniFileAPersonCanReadAndEdit) {
    ModRegistry registry = services.Registry();
    registry.WriteEntry(1, "/first.zpk");
    registry.WriteEntry(2, "/mnt/ü/über mod.zpk");
    registry.WriteCount(2);
    registry.WriteEntry(1, "/again.zpk");
    EXPECT_EQ(ReadFile(store), "[settings]\nvxpath=" + game +
                                   "\nmods=2\n\n[mods]\n1=/again.zpk\n2=/mnt/ü/über mod.zpk\n");
    EXPECT_EQ(std::filesystem::status(store).permissions(), std::filesystem::perms(0600));
    for (const std::string value : {"\"/quoted/\"", "  /padded/  ", "/line\nbreak\r\\n\\\".zpk"}) {
        registry.WriteEntry(1, value);
        EXPECT_EQ(LinuxServices(config).Registry().ReadEntry(1), value);
    }

    WriteFile(store,
              "\xEF\xBB\xBF[settings]\r\n; by hand\r\n  vxpath = C:\\games\\vx  "
              "\r\nmods=2.9\r\n"
              "[mods]\n1=\"/quoted/ \\\"q\\\"\"\n1=/a twin key\n[settings]\nmods=9\n");
    EXPECT_EQ(registry.ReadCount(), 2);
    EXPECT_EQ(registry.ReadEntry(1), "/quoted/ \"q\"");
    EXPECT_EQ(registry.ReadGameFolder("nopath"), "C:\\games\\vx");
}

}  // namespace
}  // namespace vx::test
