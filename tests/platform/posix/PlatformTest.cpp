// The Linux services on real files and the real store: what they find, copy and
// keep, and that a copy stopped or refused leaves nothing behind.

#include <random>

#include "platform/posix/Support.h"

namespace vx::test {
namespace {

// Counts are read in the user's locale; the cases here are written for the
// point.
[[maybe_unused]] const bool kPointLocale = ::setenv("LC_ALL", "C", 1) == 0;

struct InstallTest : ::testing::Test, Install {};

// A name looked up in the archives folder, and what it finds there ("" for
// nothing).
struct Lookup {
    const char* name;
    EntryKind kind;
    const char* found;
};

// A command holds the folders of the files it looks at; a folder replaced once
// they are let go is looked at anew.
TEST_F(InstallTest, LookupMatchesAnyCaseExactFirstNeverAHiddenOneAndFoldersAreLetGo) {
    for (const char* name : {"VexMoor.EXE", ".hidden.zpk", "Both.zpk", "both.zpk"}) {
        WriteFile(archives + "/" + name, "");
    }
    std::filesystem::create_directory(archives + "/Mods");
    for (const auto& [name, kind, found] :
         {Lookup{"vexmoor.exe", EntryKind::PlainFiles, "VexMoor.EXE"},
          Lookup{"both.zpk", EntryKind::PlainFiles, "both.zpk"},
          Lookup{"MODS", EntryKind::FilesAndFolders, "Mods"},
          Lookup{"mods", EntryKind::PlainFiles, ""},
          Lookup{".hidden.zpk", EntryKind::FilesAndFolders, ""},
          Lookup{"*.EXE", EntryKind::PlainFiles, ""}}) {
        EXPECT_EQ(services.files.LookupEntry(archives + "/" + name, kind), found) << name;
    }
    std::filesystem::resize_file(archives + "/both.zpk", (std::uintmax_t{5} << 30) + 3);
    services.files.HoldFolders(true);
    EXPECT_EQ(services.files.FileSize(archives + "/both.zpk"), (std::int64_t{5} << 30) + 3);
    EXPECT_THROW(services.files.FileSize(archives + "/gone"), Error);
    services.files.HoldFolders(true);
    std::filesystem::rename(archives, root + "/old");
    std::filesystem::create_directory(archives);
    WriteFile(archives + "/both.zpk", "newer");
    EXPECT_EQ(services.files.FileSize(archives + "/both.zpk"), 5);
    services.files.HoldFolders(false);
}

TEST_F(InstallTest, ACopyStopsAtAnyPointLeavingNothingOrReportsItsWholeWayInOrder) {
    const std::int64_t size = std::int64_t{40} << 20;
    WriteFile(mod, std::string(static_cast<std::size_t>(size), 'm'));
    std::mt19937_64 random(Seed());
    const std::int64_t anywhere = std::uniform_int_distribution<std::int64_t>(1, size)(random);
    for (const std::int64_t stop : {std::int64_t{0}, anywhere, size}) {
        SCOPED_TRACE("stopped at " + std::to_string(stop));
        const auto before = Everything();
        RecordingProgress stopping;
        stopping.stopFrom = stop;
        EXPECT_THROW(services.files.ReplaceWithCopy(mod, live, stopping), CopyCancelled);
        EXPECT_FALSE(stopping.finishing);
        EXPECT_EQ(Everything(), before);
    }
    RecordingProgress whole;
    services.files.ReplaceWithCopy(mod, live, whole);
    EXPECT_EQ(whole.done.back(), size);
    EXPECT_EQ(whole.total, size);
    EXPECT_TRUE(whole.finishing);
    // A file where the backup belongs is a backup already, even one that appears
    // while the copy runs.
    steps.at = "copy";
    steps.meanwhile = [&] { WriteFile(backup, "appeared"); };
    EXPECT_FALSE(services.files.CopyFileIfAbsent(live, backup, progress));
    EXPECT_EQ(ReadFile(backup), "appeared");
    // A repaired entry names the live archive itself: it is left as it is.
    std::filesystem::create_hard_link(live, root + "/same file");
    services.files.ReplaceWithCopy(live, live, progress);
    EXPECT_EQ(std::filesystem::hard_link_count(live), 2U);
    // Leftovers of either platform's atomic writes go, and nothing else.
    for (const char* name :
         {".patchkeeper-notrandom.tmp", ".patchkeeper-0123456789abcdef.tmp.zpk"}) {
        WriteFile(game + "/" + name, "not one of ours");
    }
    const auto before = Everything();
    WriteFile(game + "/.patchkeeper-0123456789abcdef.tmp", "left by a killed switch");
    WriteFile(game + "/.patchkeeper-FEDCBA9876543210.tmp", "left by a killed switch");
    services.files.RemoveLeftovers(game);
    EXPECT_EQ(Everything(), before);
}

// The file a person reads and edits: what a save writes, what a new start reads
// back, and what a hand-edit reads back as, read anew by the same store.
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
        EXPECT_EQ(LinuxServices(config).Registry().ReadEntry(1), value);  // as a new start reads
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
