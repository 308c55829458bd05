// The Linux platform services and the window logic over them, on real files and the real
// store: what they do, and what they do when a disk, a folder or the stored state fails
// them. Every failure must be reported with a clear message and change nothing at all.

#include <functional>
#include <tuple>

#include "Support.h"

namespace vx::test {
namespace {

using ::testing::HasSubstr;
using Items = std::vector<std::string>;
using Boxes = std::vector<std::pair<std::string, std::string>>;

// Counts are read in the user's locale; the cases here are written for the point.
[[maybe_unused]] const bool kPointLocale = ::setenv("LC_ALL", "C", 1) == 0;

struct InstallTest : ::testing::Test, Install {};
using PosixFilesTest = InstallTest;

TEST_F(PosixFilesTest, LookupMatchesAnyCaseExactFirstNeverAHiddenOneAndSizesAre64Bit) {
    for (const char* name : {"VexMoor.EXE", ".hidden.zpk", "Both.zpk", "both.zpk"}) {
        WriteFile(archives + "/" + name, "");
    }
    std::filesystem::create_directory(archives + "/Mods");
    for (const auto& [name, kind, found] :
         std::vector<std::tuple<std::string, EntryKind, std::string>>{
             {"vexmoor.exe", EntryKind::PlainFiles, "VexMoor.EXE"},
             {"both.zpk", EntryKind::PlainFiles, "both.zpk"},
             {"Both.zpk", EntryKind::PlainFiles, "Both.zpk"},
             {"MODS", EntryKind::FilesAndFolders, "Mods"},
             {"mods", EntryKind::PlainFiles, ""},
             {".hidden.zpk", EntryKind::FilesAndFolders, ""},
             {"*.EXE", EntryKind::PlainFiles, ""},
             {"missing/vexmoor.exe", EntryKind::PlainFiles, ""}}) {
        EXPECT_EQ(platform.LookupEntry(archives + "/" + name, kind), found) << name;
    }
    std::filesystem::resize_file(archives + "/both.zpk", (std::uintmax_t{5} << 30) + 3);
    EXPECT_EQ(platform.FileSize(archives + "/both.zpk"), (std::int64_t{5} << 30) + 3);
    for (const std::string& path : {std::string(), archives + "/gone", archives}) {
        EXPECT_THROW(platform.FileSize(path), Error) << path;
    }
}

// Only a file is a backup already: the copy leaves it alone, even one that appears while it
// runs. Anything else there is the user's to move: the copy refuses, naming it.
TEST_F(PosixFilesTest, TheBackupNeverReplacesWhatStandsThereAndOnlyAFileCounts) {
    const std::string target = archives + "/kept.zpk";
    const auto appear = [&](const char* step) {
        return [&, step] {
            steps.at = step;
            steps.meanwhile = [&] { WriteFile(backup, "kept"); };
        };
    };
    const std::string folder = "A folder stands where the backup of the game's archive belongs";
    const std::string other = "Something that is not a file stands where the backup";
    for (const auto& [what, make, number, refusal] :
         std::vector<std::tuple<std::string, std::function<void()>, int, std::string>>{
             {"a file", [&] { WriteFile(backup, "kept"); }, 0, ""},
             {"a link to a file", [&] { std::filesystem::create_symlink(target, backup); }, 0, ""},
             {"a file appearing during the copy", appear("copy"), 0, ""},
             {"a file appearing during the flush", appear("flush"), 0, ""},
             {"a folder", [&] { std::filesystem::create_directory(backup); }, EISDIR, folder},
             {"a named pipe", [&] { ::mkfifo(backup.c_str(), 0600); }, EEXIST, other},
             {"a dangling link", [&] { std::filesystem::create_symlink(target + "x", backup); },
              EEXIST, other}}) {
        SCOPED_TRACE(what);
        std::filesystem::remove(backup);
        WriteFile(target, "kept");
        make();
        const auto before = Everything();
        const auto error =
            FailureOf([&] { EXPECT_FALSE(platform.CopyFileIfAbsent(live, backup)); });
        if (number != 0) {
            ExpectReported(error, number, backup, refusal);
        }
        EXPECT_TRUE(number != 0 || (!error && ReadFile(backup) == "kept"));
        if (std::exchange(steps.meanwhile, nullptr)) {
            std::filesystem::remove(backup);  // it was not there before, but appeared
        }
        EXPECT_EQ(Everything(), before) << "something was written or left behind";
    }
    // A repaired entry names the live archive itself: it is left as it is, not copied anew.
    std::filesystem::create_hard_link(live, root + "/same file");
    platform.ReplaceFile(live, live);
    EXPECT_EQ(std::filesystem::hard_link_count(live), 2U);
}

TEST_F(PosixFilesTest, LeftoversOfEitherPlatformsAtomicWritesAreRemovedAndNothingElse) {
    for (const char* name : {".patchkeeper-notrandom.tmp", ".patchkeeper-0123456789abcdeg.tmp",
                             ".patchkeeper-0123456789abcdef.tmp.zpk"}) {
        WriteFile(game + "/" + name, "not one of ours");
    }
    const auto before = Everything();
    for (const char* name :
         {".patchkeeper-0123456789abcdef.tmp", ".patchkeeper-FEDCBA9876543210.tmp"}) {
        WriteFile(game + "/" + name, "left by a killed switch");
    }
    platform.RemoveLeftovers(game);
    platform.RemoveLeftovers(game + "/does not exist");
    EXPECT_EQ(Everything(), before);

    platform.MakeFolder(archives + "/new");
    EXPECT_TRUE(std::filesystem::is_directory(archives + "/new"));
    EXPECT_THROW(platform.MakeFolder(archives + "/new"), Error);
    EXPECT_THROW(platform.MakeFolder(archives + "/a/b"), Error);
}

TEST_F(InstallTest, KeepsTheRegistryInAnIniFileAPersonCanReadAndEdit) {
    ModRegistry registry(platform);
    registry.WriteEntry(1, "/home/me/mods/NORMAL_patch_vx.zpk");
    registry.WriteEntry(2, "/mnt/ü/über mod.zpk");
    registry.WriteCount(2);
    registry.WriteEntry(1, "/again.zpk");
    EXPECT_EQ(ReadFile(store), "[settings]\nvxpath=" + game +
                                   "\nmods=2\n\n[mods]\n1=/again.zpk\n2=/mnt/ü/über mod.zpk\n");
    EXPECT_EQ(std::filesystem::status(store).permissions(), std::filesystem::perms(0600));

    WriteFile(store,
              "; edited by hand\r\n[settings]\r\n  vxpath = C:\\games\\vx  \r\nmods=2.9\r\n"
              "[mods]\n1=\"/quoted/\"\n1=/a twin key\n[settings]\nmods=9\n");
    EXPECT_EQ(registry.ReadCount("0"), 2);
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
    Session first(install.platform);
    first.Start();
    first.Add(install.mod);
    ASSERT_EQ(first.list1.items, (Items{install.backup, install.mod}));
}

const std::string kNotBackedUp =
    "The game's patch archive could not be backed up, so "
    "Patchkeeper will not replace it or register anything yet. ";
const std::string kNotKept =
    "The game's patch archive matched none of your mods and could not "
    "be kept, so it was not replaced. ";

// A first run with the mods folder gone makes it and a whole backup. On a full disk nothing
// is registered, and what needs the backup is refused until it can be made; Remove still works.
TEST(FirstRunTest, TheBackupComesFirstAndNothingIsRegisteredWithoutIt) {
    Install i;
    std::filesystem::remove_all(i.mods);
    Session(i.platform).Start();
    EXPECT_EQ(ReadFile(i.backup), ReadFile(i.live));
    i.MakeFirstRun();
    std::filesystem::remove_all(i.mods);
    FillDisk();
    WriteFile(i.mod, "a mod");
    Session session(i.platform);
    const auto start = FailureOf([&] { session.Start(); });
    const auto before = i.Everything();
    session.list1.items = {i.mod};  // as a list from before might offer it
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
    EXPECT_EQ(session.list1.items, (Items{i.backup, i.mod}));
    EXPECT_EQ(ReadFile(i.backup), ReadFile(i.live));
}

// Keep: a switch that must first keep a live archive matching no mod.
enum class Op { Switch, Add, Remove, FirstRun, Keep };

TEST(FaultTest, EachFaultIsReportedAndChangesNothing) {
    // What, met by which command, made how (false where this system cannot make it), the
    // error number and path that the report must show, and its text when not the system's.
    using Fault = std::tuple<std::string, Op, std::function<bool(Install&)>, int,
                             std::string Install::*, std::string>;
    const auto remove = [](const std::string& path) { return std::filesystem::remove_all(path); };
    const auto moveGame = [](Install& i) {
        return std::rename(i.game.c_str(), (i.root + "/moved").c_str()) == 0;
    };
    const auto fail = [](const char* step) {
        return [at = std::string(step)](Install& i) { return !(i.steps.at = at).empty(); };
    };
    std::vector<Fault> faults{
        {"a protected game folder", Op::Switch, [](Install& i) { return i.Protect(i.game); },
         Install::ProtectedError(), &Install::live, ""},
        {"a protected live archive", Op::Switch,
         [](Install& i) { return ::geteuid() == 0 && i.Protect(i.live); }, EPERM, &Install::live,
         ""},
        {"the source deleted", Op::Switch, [&](Install& i) { return remove(i.mod) > 0; }, ENOENT,
         &Install::mod, ""},
        {"the source now a folder", Op::Switch,
         [&](Install& i) { return remove(i.mod) && std::filesystem::create_directory(i.mod); },
         EISDIR, &Install::mod, ""},
        {"the source now a named pipe", Op::Switch,
         [&](Install& i) { return remove(i.mod) && ::mkfifo(i.mod.c_str(), 0644) == 0; }, EINVAL,
         &Install::mod, ""},
        {"a game on a disk too small for the mod", Op::Switch,
         [](Install& i) { return i.PutGameOnASmallDisk(); }, kErrorDiskFull, &Install::game,
         "Not enough free space: the archive needs 2.0 MB, but the disk of this folder has "},
        {"a file for the mods folder", Op::FirstRun,
         [&](Install& i) { return remove(i.mods) && WriteFile(i.mods, "a file"); }, ENOTDIR,
         &Install::mods, ""},
        {"the game folder gone", Op::Switch, moveGame, ENOENT, &Install::game, ""},
        {"the game folder gone", Op::FirstRun, moveGame, ENOENT, &Install::mods, ""},
        {"a protected mods folder", Op::Keep, [](Install& i) { return i.Protect(i.mods); },
         Install::ProtectedError(), &Install::kept, ""},
        {"a failing copy", Op::Keep, fail("copy"), ENOSPC, &Install::kept, ""},
        {"a failing rename", Op::Remove, fail("rename"), EBUSY, &Install::store, ""}};
    for (const auto& [op, path] :
         {std::pair{Op::Switch, &Install::live}, std::pair{Op::FirstRun, &Install::backup},
          std::pair{Op::Add, &Install::store}}) {
        faults.push_back({"a full disk", op, [](Install&) { return FillDisk(); }, EFBIG, path, ""});
        for (const auto& [step, number] :
             {std::pair{"copy", ENOSPC}, std::pair{"flush", EIO}, std::pair{"rename", EBUSY}}) {
            // A save writes no copy, and a full disk stops its writing already.
            if (op != Op::Add || number != ENOSPC) {
                faults.push_back(
                    {std::string("a failing ") + step, op, fail(step), number, path, ""});
            }
        }
    }
    ::alarm(60);  // a hang, such as an open() waiting for a named pipe's writer, fails
    for (const auto& [what, op, make, number, path, text] : faults) {
        SCOPED_TRACE(what);
        Install install;
        MakeGameInUse(install);
        Session session(install.platform);
        op == Op::FirstRun ? install.MakeFirstRun() : session.Start();
        if (op == Op::Keep) {
            WriteFile(install.live, "an archive that matches no mod");
        }
        if (!make(install)) {
            std::cout << "[ skipped  ] " << what << ": this system cannot make it\n";
            continue;
        }
        const auto before = install.Everything();
        const std::string label = session.label2.caption;
        const auto error = FailureOf([&, command = op] {
            command == Op::Add        ? session.Add(install.archives + "/new.zpk")
            : command == Op::Remove   ? session.Remove(1)
            : command == Op::FirstRun ? session.Start()
                                      : session.Switch(1);
        });
        FillDisk(false);
        const std::string prefix = op == Op::FirstRun ? kNotBackedUp
                                   : op == Op::Keep   ? kNotKept
                                                      : "";
        ExpectReported(error, number, install.*path,
                       prefix + (text.empty() ? std::strerror(number) : text));
        if (error && number == kErrorDiskFull) {
            EXPECT_THAT(FormatError(*error), ::testing::ContainsRegex("has [0-9.]+ KB free"));
        }
        EXPECT_EQ(install.Everything(), before) << "something was written or left behind";
        EXPECT_EQ(session.list1.selected, op == Op::FirstRun || op == Op::Add ? -1 : 1)
            << "the list was rebuilt";
        EXPECT_EQ(session.label2.caption, label);
    }
    ::alarm(0);
}

// The store is read anew when changed by another hand between two commands.
TEST_F(InstallTest, AnEditByHandBetweenCommandsIsSeenByTheNextCommand) {
    Session session(platform);
    session.Start();
    const std::string other = archives + "/other.zpk";
    WriteFile(mod, "a mod");
    WriteFile(other, "another");
    std::string text = ReadFile(store);
    WriteFile(store, text.replace(text.find("mods=1"), 6, "mods=3") + "2=" + mod + "\n3=" + other);
    session.Remove(0);
    EXPECT_EQ(session.list1.items, (Items{mod, other}));
}

TEST_F(InstallTest, AStoreThatIsDamagedOrCannotBeReadIsReportedAndNeverReplaced) {
    std::vector<std::tuple<std::function<void()>, int, std::string>> cases{
        {[&] { std::filesystem::create_directory(store) && WriteFile(store + "/kept", "kept"); },
         EISDIR, ""},
        {[&] { ::mkfifo(store.c_str(), 0600); }, EINVAL, "The settings file is not a regular file"},
        {[&] {
             WriteFile(store, "[settings]\nvxpath=" + game + "\n");
             ::chmod(store.c_str(), 0200);
             // Open to the program's user but for reading the file, so that a save would
             // go through if the program tried one.
             ::chmod(std::filesystem::path(store).parent_path().c_str(), 0777);
             ::chmod(root.c_str(), 0755);
         },
         EACCES, ""}};
    for (const auto& [content, line] :
         std::vector<std::pair<std::string, int>>{{std::string("\0\0\0\0", 4), 1},
                                                  {"vxpath=/a key before any section\n", 1},
                                                  {"[settings]\nvxpath=/g\nmods=1\n[mo", 4}}) {
        cases.emplace_back([&, text = content] { WriteFile(store, text); }, EINVAL,
                           "The settings file is damaged at line " + std::to_string(line) + ".");
    }
    ::alarm(60);  // a hang, such as an open() waiting for a named pipe's writer, fails
    for (const auto& [make, number, text] : cases) {
        std::filesystem::remove_all(store);
        make();
        const auto before = Everything();
        // Root reads whatever the permissions say: the program runs as nobody meanwhile.
        const bool nobody = number == EACCES && ::geteuid() == 0;
        ASSERT_TRUE(!nobody || (::setegid(65534) == 0 && ::seteuid(65534) == 0));
        Session session(platform);
        const auto start = FailureOf([&] { session.Start(); });
        const auto save = FailureOf([&] { ModRegistry(platform).WriteGameFolder("/g"); });
        ASSERT_TRUE(!nobody || (::seteuid(0) == 0 && ::setegid(0) == 0));
        ExpectReported(start, number, store, text);
        ExpectReported(save, number, store, text);
        EXPECT_EQ(Everything(), before) << text;
    }
    ::alarm(0);
}

}  // namespace
}  // namespace vx::test
