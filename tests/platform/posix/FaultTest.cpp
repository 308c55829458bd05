// The window logic over the Linux services, on real files and the real store,
// when a disk, a folder or the stored state fails it: every failure is reported
// with a clear message and changes nothing at all.

#include "platform/posix/Support.h"

namespace vx::test {
namespace {

// How an entry may lead to the live archive: remembered game folder and entry,
// relative to the temporary folder, and a symbolic link made first (where, and
// what it holds), or the entry made a hard link to the live archive.
struct Spelling {
    std::string gameFolder, entry, link, linkTarget;
    bool hardLink = false;
};

// The live archive is known by the file it is, not by how a path spells it: an
// entry that leads to it is no copy of it, so a game update is kept before a
// switch replaces it.
TEST(SameFileTest, AnEntryThatLeadsToTheLiveArchiveDoesNotSpareItsUpdate) {
    const std::string game = "/Vexmoor Game";
    for (const Spelling& spelling :
         {Spelling{"/steam" + game, game + "/patch_vx.zpk", "/steam", "."},
          Spelling{game + "/", game + "/patch_vx.zpk", "", ""},
          Spelling{game, "/archives/hard.zpk", "", "", true},
          Spelling{game, "", game + "/mods/NORMAL_patch_vx.zpk", "../patch_vx.zpk"}}) {
        SCOPED_TRACE(spelling.gameFolder + " " + spelling.entry + " " + spelling.link);
        Install i;
        WriteFile(i.mod, "a mod");
        if (!spelling.link.empty()) {
            std::filesystem::create_symlink(spelling.linkTarget, i.root + spelling.link);
        }
        if (spelling.hardLink) {
            std::filesystem::create_hard_link(i.live, i.root + spelling.entry);
        }
        i.services.Registry().WriteGameFolder(i.root + spelling.gameFolder);
        Session session(i.services);
        session.Start();
        if (!spelling.entry.empty()) {
            session.Add(i.root + spelling.entry);
        }
        session.Add(i.mod);
        ASSERT_TRUE(WriteFile(i.live, "a game update"));  // in place, as an updater may
        session.Switch(static_cast<int>(session.modList.items.size()) - 1);
        EXPECT_EQ(ReadFile(i.kept), "a game update");
        EXPECT_EQ(ReadFile(i.live), "a mod");
    }
}

// Keep: a switch that must first keep a live archive matching no mod; Start: a
// new start.
enum class Op { Switch, Add, Remove, FirstRun, Keep, Start };

// A fault of the world, met by a command: a step of the next write that fails,
// or else how it is made (false where this system cannot), and what the report
// must show: the number, the path, and the text when it is not the system's.
struct Fault {
    const char* what;
    Op op;
    int number;
    std::string Install::*path;
    const char* failingStep = nullptr;  // "copy", "flush" or "rename"
    std::function<bool(Install&)> make = nullptr;
    std::string text = {};
};

bool Gone(const std::string& path) {
    return std::filesystem::remove_all(path) > 0;
}

using I = Install;
const std::string kDamaged = "The settings file is damaged at line ";

std::vector<Fault> Faults() {
    return {
        {"a protected game folder", Op::Switch, I::ProtectedError(), &I::live, nullptr,
         [](I& i) { return i.Protect(i.game); }},
        {"the source deleted", Op::Switch, ENOENT, &I::mod, nullptr,
         [](I& i) { return Gone(i.mod); }},
        {"the game folder gone", Op::Switch, ENOENT, &I::game, nullptr,
         [](I& i) { return std::rename(i.game.c_str(), (i.root + "/moved").c_str()) == 0; }},
        {"a full disk", Op::Switch, EFBIG, &I::live, nullptr, [](I&) { return FillDisk(); }},
        {"a failing flush", Op::Switch, EIO, &I::live, "flush"},
        {"a failing rename", Op::Switch, EBUSY, &I::live, "rename"},
        {"a file for the mods folder", Op::FirstRun, ENOTDIR, &I::mods, nullptr,
         [](I& i) { return Gone(i.mods) && WriteFile(i.mods, "a file"); }},
        {"a folder at the backup", Op::FirstRun, EISDIR, &I::backup, nullptr,
         [](I& i) { return std::filesystem::create_directory(i.backup); },
         "A folder stands where the backup of the game's archive belongs"},
        {"a named pipe at the backup", Op::FirstRun, EEXIST, &I::backup, nullptr,
         [](I& i) { return ::mkfifo(i.backup.c_str(), 0600) == 0; },
         "Something that is not a file stands where the backup"},
        {"a protected mods folder", Op::Keep, I::ProtectedError(), &I::kept, nullptr,
         [](I& i) { return i.Protect(i.mods); }},
        // The backup's, the save's and the keeping's atomic write is the switch's: one row
        // per step and per message is enough.
        {"a full disk", Op::Add, EFBIG, &I::store, nullptr, [](I&) { return FillDisk(); }},
        {"a failing rename", Op::Remove, EBUSY, &I::store, "rename"},
        {"a store that is a folder", Op::Start, EISDIR, &I::store, nullptr,
         [](I& i) { return Gone(i.store) && std::filesystem::create_directories(i.store + "/x"); }},
        {"a store that is a named pipe", Op::Start, EINVAL, &I::store, nullptr,
         [](I& i) { return Gone(i.store) && ::mkfifo(i.store.c_str(), 0600) == 0; },
         "The settings file is not a regular file"},
        {"a store of zeros", Op::Start, EINVAL, &I::store, nullptr,
         [](I& i) { return WriteFile(i.store, std::string(4, '\0')); }, kDamaged + "1."},
        {"a store cut short", Op::Start, EINVAL, &I::store, nullptr,
         [](I& i) { return WriteFile(i.store, "[settings]\nvxpath=/g\nmods=1\n[mo"); },
         kDamaged + "4."}};
}

// What the report starts with, before the failure's own text.
std::string PrefixOf(Op op) {
    if (op == Op::FirstRun) {
        return "The game's patch archive could not be backed up, so Patchkeeper will not "
               "replace it or register anything yet. ";
    }
    return op == Op::Keep ? "The game's patch archive matched none of your mods and could not "
                            "be kept, so it was not replaced. "
                          : "";
}

class FaultTest : public ::testing::TestWithParam<Fault> {};

TEST_P(FaultTest, IsReportedAndChangesNothing) {
    const Fault& fault = GetParam();
    SCOPED_TRACE(fault.what);
    Install install;  // in use: the backup made, and a mod of 2 MiB registered after it
    WriteFile(install.mod, std::string(2 << 20, 'm'));
    Session session(install.services);
    session.Start();
    session.Add(install.mod);
    ASSERT_EQ(session.modList.items, (std::vector{install.backup, install.mod}));
    if (fault.op == Op::FirstRun) {
        install.MakeFirstRun();
    }
    if (fault.op == Op::Keep) {
        WriteFile(install.live, "an archive that matches no mod");
    }
    if (fault.failingStep != nullptr) {
        install.steps.at = fault.failingStep;
    } else if (!fault.make(install)) {
        GTEST_SKIP() << fault.what << ": this system cannot make it";
    }
    const auto before = install.Everything();
    const std::string label = session.currentMod.caption;
    ::alarm(60);  // a hang, such as an open() waiting for a named pipe's writer, fails
    const auto error = FailureOf([&] {
        if (fault.op == Op::Add) {
            session.Add(install.archives + "/new.zpk");
        } else if (fault.op == Op::Remove) {
            session.Remove(1);
        } else if (fault.op == Op::Switch || fault.op == Op::Keep) {
            session.Switch(1);
        } else {
            session.Start();
        }
    });
    ::alarm(0);
    FillDisk(false);
    const std::string text = fault.text.empty() ? std::strerror(fault.number) : fault.text;
    ExpectReported(error, fault.number, install.*fault.path, PrefixOf(fault.op) + text);
    if (fault.op == Op::Start) {  // and a save, which must not write over what it cannot read
        const auto save = FailureOf([&] { install.services.Registry().WriteGameFolder("/g"); });
        ExpectReported(save, fault.number, install.store, text);
    }
    EXPECT_EQ(install.Everything(), before) << "something was written or left behind";
    if (fault.op != Op::Start) {  // and what was not written is forgotten
        EXPECT_EQ(install.Stored("settings", "mods").value_or("none"),
                  fault.op == Op::FirstRun ? "none" : "2");
    }
    const bool listKept = fault.op == Op::Switch || fault.op == Op::Keep || fault.op == Op::Remove;
    EXPECT_EQ(session.modList.selected, listKept ? 1 : -1) << "the list was rebuilt";
    EXPECT_EQ(session.currentMod.caption, label);
}

// A Remove moves an entry, empties the freed key and lowers the count: one write of the store,
// so that a crash leaves all of it or none.
TEST(OneWriteTest, ACommandWritesTheStoreOnce) {
    Install install;
    WriteFile(install.mod, "a mod");
    Session session(install.services);
    session.Start();
    session.Add(install.mod);
    install.steps.renames = 0;
    session.Remove(0);
    EXPECT_EQ(install.steps.renames, 1);
}

INSTANTIATE_TEST_SUITE_P(EveryFault, FaultTest, ::testing::ValuesIn(Faults()),
                         [](const auto& row) { return "Fault" + std::to_string(row.index); });

}  // namespace
}  // namespace vx::test
