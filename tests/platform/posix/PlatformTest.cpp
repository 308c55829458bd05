// The Linux platform services and the window logic over them, on real files and the real
// store: what they do, and what they do when a disk, a folder or the stored state fails
// them. Every failure must be reported with a clear message and change nothing at all.

#include <algorithm>
#include <functional>
#include <random>
#include <tuple>

#include "platform/posix/Support.h"

namespace vx::test {
namespace {

using Items = std::vector<std::string>;

// Counts are read in the user's locale; the cases here are written for the point.
[[maybe_unused]] const bool kPointLocale = ::setenv("LC_ALL", "C", 1) == 0;

struct InstallTest : ::testing::Test, Install {};

TEST_F(InstallTest, LookupMatchesAnyCaseExactFirstNeverAHiddenOneAndSizesAre64Bit) {
    for (const char* name : {"VexMoor.EXE", ".hidden.zpk", "Both.zpk", "both.zpk"}) {
        WriteFile(archives + "/" + name, "");
    }
    std::filesystem::create_directory(archives + "/Mods");
    using K = EntryKind;
    for (const auto& [name, kind, found] : std::vector<std::tuple<std::string, K, std::string>>{
             {"vexmoor.exe", K::PlainFiles, "VexMoor.EXE"},
             {"both.zpk", K::PlainFiles, "both.zpk"},
             {"Both.zpk", K::PlainFiles, "Both.zpk"},
             {"MODS", K::FilesAndFolders, "Mods"},
             {"mods", K::PlainFiles, ""},
             {".hidden.zpk", K::FilesAndFolders, ""},
             {"*.EXE", K::PlainFiles, ""},
             {"missing/vexmoor.exe", K::PlainFiles, ""}}) {
        EXPECT_EQ(services.files.LookupEntry(archives + "/" + name, kind), found) << name;
    }
    std::filesystem::resize_file(archives + "/both.zpk", (std::uintmax_t{5} << 30) + 3);
    EXPECT_EQ(services.files.FileSize(archives + "/both.zpk"), (std::int64_t{5} << 30) + 3);
    for (const std::string& path : {std::string(), archives + "/gone", archives}) {
        EXPECT_THROW(services.files.FileSize(path), Error) << path;
    }
}

// A command holds the folders of the files it looks at; a folder replaced once they are let go
// (after the command, or before it shows anything) is looked at anew.
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

// Only a file is a backup already: the copy leaves it alone, even one that appears while it
// runs. Anything else there is the user's to move: the copy refuses, naming it.
TEST_F(InstallTest, TheBackupNeverReplacesWhatStandsThereAndOnlyAFileCounts) {
    const auto appear = [&](const char* step) {
        return [&, step] { steps.at = step, steps.meanwhile = [&] { WriteFile(backup, "kept"); }; };
    };
    const std::string folder = "A folder stands where the backup of the game's archive belongs";
    const std::string other = "Something that is not a file stands where the backup";
    for (const auto& [make, number, refusal] :
         std::vector<std::tuple<std::function<void()>, int, std::string>>{
             {[&] { WriteFile(backup, "kept"); }, 0, ""},
             {appear("copy"), 0, ""},
             {[&] { std::filesystem::create_directory(backup); }, EISDIR, folder},
             {[&] { ::mkfifo(backup.c_str(), 0600); }, EEXIST, other},
             {[&] { std::filesystem::create_symlink(root + "/nothing", backup); }, EEXIST,
              other}}) {
        SCOPED_TRACE(refusal + std::to_string(number));
        std::filesystem::remove(backup);
        make();
        const auto before = Everything();
        const auto error = FailureOf(
            [&] { EXPECT_FALSE(services.files.CopyFileIfAbsent(live, backup, progress)); });
        if (number != 0 || error) {
            ExpectReported(error, number, backup, refusal);
        }
        EXPECT_TRUE(number != 0 || ReadFile(backup) == "kept");
        if (std::exchange(steps.meanwhile, nullptr)) {
            std::filesystem::remove(backup);  // it was not there before, but appeared
        }
        EXPECT_EQ(Everything(), before) << "something was written or left behind";
    }
    // A repaired entry names the live archive itself: it is left as it is, not copied anew.
    std::filesystem::create_hard_link(live, root + "/same file");
    services.files.ReplaceWithCopy(live, live, progress);
    EXPECT_EQ(std::filesystem::hard_link_count(live), 2U);
}

TEST_F(InstallTest, ACopyStopsAtAnyPointLeavingNothingOrReportsItsWholeWayInOrder) {
    const std::int64_t size = std::int64_t{40} << 20;
    WriteFile(mod, std::string(static_cast<std::size_t>(size), 'm'));
    std::mt19937_64 random(std::random_device{}());
    const std::int64_t anywhere = std::uniform_int_distribution<std::int64_t>(1, size)(random);
    using Copy = std::function<void(CopyProgress&)>;
    for (const auto& [what, copy] :
         {std::pair<std::string, Copy>{
              "switch", [&](auto& p) { services.files.ReplaceWithCopy(mod, live, p); }},
          {"backup", [&](auto& p) { services.files.CopyFileIfAbsent(mod, backup, p); }}}) {
        for (const std::int64_t stop : {std::int64_t{0}, anywhere, size}) {
            SCOPED_TRACE(what + " stopped at " + std::to_string(stop));
            const auto before = Everything();
            RecordingProgress stopping;
            stopping.stopFrom = stop;
            EXPECT_THROW(copy(stopping), CopyCancelled);
            EXPECT_FALSE(stopping.finishing);
            EXPECT_EQ(Everything(), before);
        }
        RecordingProgress whole;
        copy(whole);
        EXPECT_TRUE(std::is_sorted(whole.done.begin(), whole.done.end()));
        EXPECT_GT(whole.done.size(), 2U) << "reported only at the ends";
        EXPECT_EQ(whole.done.front(), 0);
        EXPECT_EQ(whole.done.back(), size);
        EXPECT_EQ(whole.total, size);
        EXPECT_TRUE(whole.finishing);
    }
    EXPECT_EQ(ReadFile(live), ReadFile(mod));
    EXPECT_EQ(ReadFile(backup), ReadFile(mod));
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

TEST_F(InstallTest, KeepsTheRegistryInAnIniFileAPersonCanReadAndEdit) {
    ModRegistry registry = services.Registry();
    registry.WriteEntry(1, "/first.zpk");
    registry.WriteEntry(2, "/mnt/ü/über mod.zpk");
    registry.WriteCount(2);
    registry.WriteEntry(1, "/again.zpk");
    EXPECT_EQ(ReadFile(store), "[settings]\nvxpath=" + game +
                                   "\nmods=2\n\n[mods]\n1=/again.zpk\n2=/mnt/ü/über mod.zpk\n");
    EXPECT_EQ(std::filesystem::status(store).permissions(), std::filesystem::perms(0600));

    WriteFile(store,
              "\xEF\xBB\xBF[settings]\r\n; by hand\r\n  vxpath = C:\\games\\vx  \r\nmods=2.9\r\n"
              "[mods]\n1=\"/quoted/\"\n1=/a twin key\n[settings]\nmods=9\n");
    EXPECT_EQ(registry.ReadCount(), 2);
    EXPECT_EQ(registry.ReadEntry(1), "/quoted/");
    for (const std::string value : {"\"/quoted/\"", "  /padded/  "}) {
        registry.WriteEntry(1, value);
        EXPECT_EQ(registry.ReadEntry(1), value);
    }
    EXPECT_EQ(registry.ReadGameFolder("nopath"), "C:\\games\\vx");
}

// A game in use: the first run made the backup, and a mod of 2 MiB is registered after it.
void MakeGameInUse(Install& install) {
    WriteFile(install.mod, std::string(2 << 20, 'm'));
    Session first(install.services);
    first.Start();
    first.Add(install.mod);
    ASSERT_EQ(first.modList.items, (Items{install.backup, install.mod}));
}

const std::string kNotBackedUp =
    "The game's patch archive could not be backed up, so "
    "Patchkeeper will not replace it or register anything yet. ";
const std::string kNotKept =
    "The game's patch archive matched none of your mods and could not "
    "be kept, so it was not replaced. ";

// A first run with the mods folder gone makes it and a whole backup. On a full disk nothing
// is registered, and what needs the backup is refused until it can be made; Remove still works.
TEST(FirstRunTest, TheBackupComesFirstAndEachCommandReadsTheStoreAnew) {
    Install i;
    std::filesystem::remove_all(i.mods);
    Session(i.services).Start();
    EXPECT_EQ(ReadFile(i.backup), ReadFile(i.live));
    i.MakeFirstRun();
    std::filesystem::remove_all(i.mods);
    FillDisk();
    WriteFile(i.mod, "a mod");
    Session session(i.services);
    const auto start = FailureOf([&] { session.Start(); });
    const auto before = i.Everything();
    session.modList.items = {i.mod};  // as a list from before might offer it
    for (const auto& error :
         {start, FailureOf([&] { session.Add(i.mod); }), FailureOf([&] { session.Switch(0); })}) {
        ExpectReported(error, EFBIG, i.backup, kNotBackedUp + std::strerror(EFBIG));
    }
    EXPECT_EQ(session.dialog.shown, 0);
    EXPECT_EQ(i.Everything(), before);
    FillDisk(false);
    session.Remove(0);
    EXPECT_EQ(i.Stored("settings", "mods").value_or("0"), "0");
    session.Add(i.mod);
    EXPECT_EQ(session.modList.items, (Items{i.backup, i.mod}));
    EXPECT_EQ(ReadFile(i.backup), ReadFile(i.live));
    // The store is read anew when another hand changed it between two commands.
    std::string text = ReadFile(i.store);
    WriteFile(i.store, text.replace(text.find("mods=2"), 6, "mods=3") + "3=" + i.backup);
    session.Remove(0);
    EXPECT_EQ(session.modList.items, (Items{i.mod, i.backup}));
}

// The live archive is known by the file it is, not by how a path spells it: an entry that
// leads to it is no copy of it, so a game update is kept before a switch replaces it.
TEST(SameFileTest, AnEntryThatLeadsToTheLiveArchiveDoesNotSpareItsUpdate) {
    struct Spelling {
        std::string what;
        std::string gameFolder;  // as remembered, relative to the temporary folder
        std::string entry;       // an entry that leads to the live archive, or none
        std::string link;        // where a symbolic link stands, and what it holds
        std::string linkTarget;
        bool hardLink = false;  // the entry is a hard link to the live archive
    };
    const std::string game = "/Vexmoor Game";
    const std::vector<Spelling> spellings{
        {"a linked game folder", "/steam" + game, game + "/patch_vx.zpk", "/steam", "."},
        {"a trailing separator", game + "/", game + "/patch_vx.zpk", "", ""},
        {"a hard link", game, "/archives/hard.zpk", "", "", true},
        {"a backup that is a link", game, "", game + "/mods/NORMAL_patch_vx.zpk",
         "../patch_vx.zpk"}};
    for (const auto& [what, gameFolder, entry, link, linkTarget, hardLink] : spellings) {
        SCOPED_TRACE(what);
        Install i;
        WriteFile(i.mod, "a mod");
        ASSERT_TRUE(link.empty() || !::symlink(linkTarget.c_str(), (i.root + link).c_str()));
        ASSERT_TRUE(!hardLink || !::link(i.live.c_str(), (i.root + entry).c_str()));
        i.services.Registry().WriteGameFolder(i.root + gameFolder);
        Session session(i.services);
        session.Start();
        if (!entry.empty()) {
            session.Add(i.root + entry);
        }
        session.Add(i.mod);
        ASSERT_TRUE(WriteFile(i.live, "a game update"));  // in place, as an updater may
        session.Switch(static_cast<int>(session.modList.items.size()) - 1);
        EXPECT_EQ(ReadFile(i.kept), "a game update");
        EXPECT_EQ(ReadFile(i.live), "a mod");
        EXPECT_EQ(session.boxes.shown.size(), 1U);
    }
}

// Keep: a switch that must first keep a live archive matching no mod; Start: a new start.
enum class Op { Switch, Add, Remove, FirstRun, Keep, Start };

// What, met by which command, made how (false where this system cannot make it), the error
// number and path that the report must show, and its text when not the system's.
struct Fault {
    std::string what;
    Op op;
    std::function<bool(Install&)> make;
    int number;
    std::string Install::*path;
    std::string text = {};
};

TEST(FaultTest, EachFaultIsReportedAndChangesNothing) {
    using I = Install;
    const auto gone = [](const std::string& path) { return std::filesystem::remove_all(path) > 0; };
    const auto moveGame = [](I& i) {
        return !std::rename(i.game.c_str(), (i.root + "/x").c_str());
    };
    const auto fail = [](const char* step) {
        return [at = std::string(step)](I& i) { return !(i.steps.at = at).empty(); };
    };
    const auto store = [&](const std::string& text) {
        return [&gone, text](I& i) { return gone(i.store) && WriteFile(i.store, text); };
    };
    const std::string damaged = "The settings file is damaged at line ";
    std::vector<Fault> faults{
        {"a protected game folder", Op::Switch, [](I& i) { return i.Protect(i.game); },
         I::ProtectedError(), &I::live},
        {"a protected live archive", Op::Switch,
         [](I& i) { return ::geteuid() == 0 && i.Protect(i.live); }, EPERM, &I::live},
        {"the source deleted", Op::Switch, [&](I& i) { return gone(i.mod); }, ENOENT, &I::mod},
        {"a game on a disk too small for the mod", Op::Switch,
         [](I& i) { return i.PutGameOnASmallDisk(); }, kErrorDiskFull, &I::game,
         "Not enough free space: the archive needs 2.0 MB, but the disk of this folder has "},
        {"a file for the mods folder", Op::FirstRun,
         [&](I& i) { return gone(i.mods) && WriteFile(i.mods, "a file"); }, ENOTDIR, &I::mods},
        {"the game folder gone", Op::Switch, moveGame, ENOENT, &I::game},
        {"the game folder gone", Op::FirstRun, moveGame, ENOENT, &I::mods},
        {"a protected mods folder", Op::Keep, [](I& i) { return i.Protect(i.mods); },
         I::ProtectedError(), &I::kept},
        {"a failing copy", Op::Keep, fail("copy"), ENOSPC, &I::kept},
        {"a failing rename", Op::Remove, fail("rename"), EBUSY, &I::store},
        {"a store that is a folder", Op::Start,
         [&](I& i) { return gone(i.store) && std::filesystem::create_directories(i.store + "/x"); },
         EISDIR, &I::store},
        {"a store that is a named pipe", Op::Start,
         [&](I& i) { return gone(i.store) && !::mkfifo(i.store.c_str(), 0600); }, EINVAL, &I::store,
         "The settings file is not a regular file"},
        {"a store of zeros", Op::Start, store(std::string(4, '\0')), EINVAL, &I::store,
         damaged + "1."},
        {"a key before any section", Op::Start, store("vxpath=/g\n"), EINVAL, &I::store,
         damaged + "1."},
        {"a store cut short", Op::Start, store("[settings]\nvxpath=/g\nmods=1\n[mo"), EINVAL,
         &I::store, damaged + "4."}};
    for (const auto& [op, path] :
         {std::pair{Op::Switch, &I::live}, std::pair{Op::FirstRun, &I::backup},
          std::pair{Op::Add, &I::store}}) {
        faults.push_back({"a full disk", op, [](I&) { return FillDisk(); }, EFBIG, path});
        for (const auto& [step, number] :
             {std::pair{"copy", ENOSPC}, std::pair{"flush", EIO}, std::pair{"rename", EBUSY}}) {
            // A save writes no copy, and a full disk stops its writing already.
            if (op != Op::Add || number != ENOSPC) {
                faults.push_back({std::string("a failing ") + step, op, fail(step), number, path});
            }
        }
    }
    ::alarm(60);  // a hang, such as an open() waiting for a named pipe's writer, fails
    for (const auto& [what, op, make, number, path, text] : faults) {
        SCOPED_TRACE(what);
        Install install;
        MakeGameInUse(install);
        Session session(install.services);
        op == Op::FirstRun ? install.MakeFirstRun() : session.Start();
        if (op == Op::Keep) {
            WriteFile(install.live, "an archive that matches no mod");
        }
        if (!make(install)) {
            std::cout << "[ skipped  ] " << what << ": this system cannot make it\n";
            continue;
        }
        const auto before = install.Everything();
        const std::string label = session.currentMod.caption;
        const auto error = FailureOf([&, command = op] {
            command == Op::Add      ? session.Add(install.archives + "/new.zpk")
            : command == Op::Remove ? session.Remove(1)
            : command == Op::Switch || command == Op::Keep ? session.Switch(1)
                                                           : session.Start();
        });
        FillDisk(false);
        const std::string prefix = op == Op::FirstRun ? kNotBackedUp
                                   : op == Op::Keep   ? kNotKept
                                                      : "";
        ExpectReported(error, number, install.*path,
                       prefix + (text.empty() ? std::strerror(number) : text));
        if (number == kErrorDiskFull) {
            EXPECT_THAT(error->Text(), ::testing::ContainsRegex("has [0-9.]+ KB free"));
        }
        if (op == Op::Start) {  // and a save, which must not write over what it cannot read
            const auto save = FailureOf([&] { install.services.Registry().WriteGameFolder("/g"); });
            ExpectReported(save, number, install.store, text);
        }
        EXPECT_EQ(install.Everything(), before) << "something was written or left behind";
        if (op != Op::Start) {  // and what was not written is forgotten
            EXPECT_EQ(install.Stored("settings", "mods"),
                      op == Op::FirstRun ? std::nullopt : std::optional<std::string>("2"));
        }
        EXPECT_EQ(session.modList.selected,
                  op == Op::Switch || op == Op::Keep || op == Op::Remove ? 1 : -1)
            << "the list was rebuilt";
        EXPECT_EQ(session.currentMod.caption, label);
    }
    ::alarm(0);
}

}  // namespace
}  // namespace vx::test
