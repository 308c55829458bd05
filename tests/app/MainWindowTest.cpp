#include <gtest/gtest.h>

#include <tuple>

#include "app/MainWindow.h"
#include "fakes/FakeControls.h"
#include "fakes/FakePlatform.h"
#include "support/Failure.h"

namespace vx {
namespace {

using test::ErrorOf;

using Boxes = std::vector<std::pair<std::string, std::string>>;
using Items = std::vector<std::string>;

const std::string kGame = "C:\\VX";
const std::string kLive = "C:\\VX\\patch_vx.zpk";
const std::string kBackup = "C:\\VX\\mods\\NORMAL_patch_vx.zpk";

class MainWindowTest : public ::testing::Test {
  protected:
    test::FakePlatform platform;
    Startup startup{platform};
    test::FakeMessageBoxes boxes;
    test::FakeLabel currentMod;
    test::FakeListBox modList;
    test::FakeOpenFileDialog dialog;
    test::FakeCopyWatcher copies;
    MainWindow main{startup.Paths(), platform, boxes, {currentMod, modList, dialog, copies}};

    void SetUp() override {
        platform.Set("settings", "vxpath", kGame);
        ASSERT_EQ(startup.Run(), FirstWindow::Main);
        platform.folders.insert(kGame + "\\mods");
        platform.files[kLive] = "original";
        currentMod.caption = "$Current Mod$";
    }
    // Registers `paths` as entries 1..n directly in the store.
    void Register(const Items& paths) {
        for (std::size_t i = 0; i < paths.size(); ++i) {
            platform.Set("mods", std::to_string(i + 1), paths[i]);
        }
        platform.Set("settings", "mods", std::to_string(paths.size()));
    }
};

TEST_F(MainWindowTest, FirstLoadBacksUpTheLiveArchiveAsEntryOne) {
    main.Load();
    EXPECT_TRUE(dialog.fileMustExist);
    EXPECT_EQ(modList.items, Items{kBackup});
    EXPECT_EQ(currentMod.caption, "NORMAL_patch_vx.zpk");
    EXPECT_TRUE(boxes.shown.empty());
    // Leftovers of an interrupted switch or backup go before anything else is written, and
    // the registered backup is stored before the list shows it.
    EXPECT_EQ(platform.calls,
              (Items{"Begin", "RemoveLeftovers " + kGame, "RemoveLeftovers " + kGame + "\\mods",
                     "CopyIfAbsent " + kLive + ">" + kBackup, "Commit", "Commit", "End"}));
}

// A negative count lists nothing and is refused like text by every command that writes; a
// full registry cannot grow. Nothing is written either way.
TEST_F(MainWindowTest, CountsThatCannotChangeAreRefusedWritingNothing) {
    platform.files["C:\\new.zpk"] = "new";
    dialog.answers = {"C:\\new.zpk", "C:\\new.zpk"};
    modList.items = {"C:\\new.zpk"};
    modList.selected = 0;
    platform.Set("settings", "mods", "-5");
    const auto stored = platform.settings;
    const auto files = platform.files;
    EXPECT_NE(ErrorOf([&] { main.OnAdd(); }).Text().find("\"-5\""), std::string::npos);
    EXPECT_EQ(ErrorOf([&] { main.OnRemove(); }).Number(), kErrorTypeMismatch);
    EXPECT_EQ(ErrorOf([&] { main.OnSwitch(); }).Number(), kErrorTypeMismatch);
    EXPECT_EQ(ErrorOf([&] { main.OnDrop({"C:\\new.zpk"}); }).Number(), kErrorTypeMismatch);
    main.Load();  // the load lists a negative count as nothing
    EXPECT_EQ(platform.settings, stored);
    EXPECT_EQ(platform.files, files);

    platform.Set("settings", "mods", "32767");
    EXPECT_EQ(ErrorOf([&] { main.OnAdd(); }).Number(), kErrorOverflow);
    EXPECT_EQ(platform.Setting("settings", "mods"), "32767");
}

TEST_F(MainWindowTest, RefreshNamesTheLastEntryOfTheLiveSizeAndNeverClearsTheLabel) {
    platform.files["C:\\a.zpk"] = "AAAAAAAA";  // same size as the live archive
    platform.files["C:\\b.zpk"] = "BB";
    platform.files["C:\\c.zpk"] = "CCCCCCCC";
    Register({"C:\\a.zpk", "C:\\b.zpk", "C:\\c.zpk"});
    main.RefreshModList(3);
    EXPECT_EQ(modList.items, (Items{"C:\\a.zpk", "C:\\b.zpk", "C:\\c.zpk"}));
    EXPECT_EQ(currentMod.caption, "c.zpk");

    main.RefreshModList(0);
    EXPECT_TRUE(modList.items.empty());
    EXPECT_EQ(currentMod.caption, "c.zpk");

    // A hidden match still moves the label, to the empty name a plain-files lookup gives.
    platform.hidden.insert("C:\\b.zpk");
    platform.files[kLive] = "yy";
    main.RefreshModList(3);
    EXPECT_EQ(currentMod.caption, "");

    // A folder that cannot be listed hides the stored name, not the file: nothing repaired.
    platform.unlistable.insert("C:");
    main.RefreshModList(3);
    EXPECT_EQ(currentMod.caption, "b.zpk");
    EXPECT_EQ(modList.items, (Items{"C:\\a.zpk", "C:\\b.zpk", "C:\\c.zpk"}));
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(MainWindowTest, RefreshRepairsMissingAndAbsentEntriesWithOneBoxEach) {
    platform.files["C:\\a.zpk"] = "AA";
    platform.files["C:\\z.zpk"] = "ZZZZZZZZ";
    platform.Set("mods", "1", "C:\\a.zpk");
    platform.Set("mods", "2", "C:\\gone.zpk");
    platform.Set("mods", "4", "C:\\z.zpk");  // key 3 absent
    // Without the live archive nothing can be repaired: one box says so, and no entry is lost.
    platform.files.erase(kLive);
    main.RefreshModList(2);
    EXPECT_EQ(boxes.shown, (Boxes{{"File not found " + kLive, "Could not find file"}}));
    EXPECT_EQ(modList.items, (Items{"C:\\a.zpk", "C:\\gone.zpk"}));
    EXPECT_EQ(currentMod.caption, "$Current Mod$");
    platform.files[kLive] = "original";
    boxes.shown.clear();
    main.RefreshModList(4);
    EXPECT_EQ(boxes.shown, (Boxes{{"File not found C:\\gone.zpk", "Could not find file"},
                                  {"File not found ", "Could not find file"}}));
    EXPECT_EQ(platform.Setting("mods", "3"), kLive);  // and entry 2, as the list shows
    EXPECT_EQ(modList.items, (Items{"C:\\a.zpk", kLive, kLive, "C:\\z.zpk"}));
    EXPECT_EQ(currentMod.caption, "z.zpk");  // a later entry of the live size still wins
}

// The Select Something box is the window bindings' tests' matter.
TEST_F(MainWindowTest, SwitchBacksUpFirstThenCopiesTheSelectedArchiveOverTheLiveOne) {
    platform.files["C:\\m\\Big Mod.zpk"] = "a mod!";
    modList.items = {"C:\\m\\Big Mod.zpk"};  // offered before any count was stored
    modList.selected = 0;
    main.OnSwitch();
    EXPECT_EQ(platform.files[kBackup], "original");
    EXPECT_EQ(platform.files[kLive], "a mod!");
    EXPECT_EQ(modList.items, Items{kBackup});

    Register({kBackup, "C:\\m\\Big Mod.zpk"});
    main.RefreshModList(2);
    modList.selected = 0;
    main.OnSwitch();
    EXPECT_EQ(platform.files[kLive], "original");
    EXPECT_EQ(currentMod.caption, "NORMAL_patch_vx.zpk");
    EXPECT_EQ(modList.selected, -1);
    modList.selected = 1;
    main.OnSwitch();
    EXPECT_EQ(platform.files[kLive], "a mod!");
    EXPECT_EQ(currentMod.caption, "Big Mod.zpk");
}

// A game update, or an archive put in place by hand, is the only copy of itself: a switch
// keeps it first. An entry that leads to the live archive itself, however spelled (a repaired
// one, a link, another name for the folder), is no copy of it.
TEST_F(MainWindowTest, SwitchKeepsALiveArchiveThatMatchesNoEntryBeforeReplacingIt) {
    const std::string kept = "C:\\VX\\mods\\patch_vx-2026-12-07";
    const std::string otherSpelling = "Z:\\VX\\patch_vx.zpk";
    platform.links[otherSpelling] = kLive;
    platform.files["C:\\m.zpk"] = "mod";
    platform.files[kept + ".zpk"] = "taken";
    Register({kLive, otherSpelling, "C:\\m.zpk"});
    platform.files[kLive] = "updated!";
    main.RefreshModList(3);
    modList.selected = 1;  // the live archive itself: nothing to keep, nothing to copy
    main.OnSwitch();
    EXPECT_EQ(platform.files.size(), 3U);
    EXPECT_TRUE(boxes.shown.empty());

    // Kept and listed before the switch, which then fails.
    platform.failCopyInto.insert(kLive);
    modList.selected = 2;
    ErrorOf([&] { main.OnSwitch(); });
    EXPECT_EQ(platform.files[kept + "-2.zpk"], "updated!");
    EXPECT_EQ(boxes.shown, (Boxes{{"The game's patch archive matched none of your mods; it was "
                                   "kept as " +
                                       kept + "-2.zpk before switching.",
                                   "Vexmoor Patchkeeper"}}));
    EXPECT_EQ(modList.items, (Items{kLive, otherSpelling, "C:\\m.zpk", kept + "-2.zpk"}));
    EXPECT_EQ(platform.files[kLive], "updated!");
}

// Whichever file another program holds is the one the Retry box names.
TEST_F(MainWindowTest, TheRetryBoxNamesTheFileThatIsHeld) {
    platform.files["C:\\m.zpk"] = "a mod!";
    Register({kBackup, "C:\\m.zpk"});
    platform.files[kBackup] = "original";
    for (const std::string& held : {kLive, std::string("C:\\m.zpk")}) {
        platform.heldOpen = {held};
        boxes.shown.clear();
        main.RefreshModList(2);
        modList.selected = 1;
        main.OnSwitch();
        ASSERT_EQ(boxes.shown.size(), 1U);
        EXPECT_EQ(boxes.shown[0].first.find(held == kLive ? "The game seems to be running"
                                                          : "Another program holds this archive"),
                  0U);
        EXPECT_TRUE(boxes.shown[0].first.ends_with("\n\n" + held));
    }
}

// A failure that carries any number, even one a cancel once had, is a failure.
TEST_F(MainWindowTest, AFailedCopyIsNeverTakenForACancel) {
    platform.files["C:\\m.zpk"] = "a mod!";
    Register({kBackup, "C:\\m.zpk"});
    platform.files[kBackup] = "original";
    main.RefreshModList(2);
    platform.failCopyInto.insert(kLive);
    for (const int number : {18, 1223}) {  // EXDEV or ERROR_NO_MORE_FILES; ERROR_CANCELLED
        platform.copyFailure = number;
        modList.selected = 1;
        EXPECT_EQ(ErrorOf([&] { main.OnSwitch(); }).Number(), number);
    }
}

// A cancel is the user's own choice: no box, nothing kept or replaced, the list rebuilt as
// after any switch. While a copy runs the window lives on, but no command starts.
TEST_F(MainWindowTest, ACancelledSwitchChangesNothingAndNoCommandStartsDuringACopy) {
    const std::string mod = "C:\\m\\Big Mod.zpk";
    platform.files[mod] = "a mod!";
    main.Load();
    Register({kBackup, mod});
    copies.cancel = true;
    platform.beforeCopying = [&] {
        if (!copies.watched.try_acquire_for(std::chrono::seconds(10))) {
            throw std::runtime_error("the copy was never watched");
        }
    };
    copies.during = [&] {
        dialog.answers = {mod};
        main.OnAdd();
        main.OnRemove();
        main.OnDrop({"C:\\gone.zpk"});
        main.OnSwitch();
    };
    // The first copy is the keeping of an unknown live archive, the second the switch's own.
    for (const std::string live : {"new!", "original"}) {
        platform.files[kLive] = live;
        const auto before = platform.files;
        const auto stored = platform.settings;
        modList.items = {kBackup, mod, "gone"};
        modList.selected = 1;
        main.OnSwitch();
        EXPECT_EQ(platform.files, before);
        EXPECT_EQ(platform.settings, stored);
        EXPECT_EQ(modList.items, (Items{kBackup, mod}));
    }
    EXPECT_EQ(copies.names, (Items{"patch_vx.zpk", "patch_vx.zpk", "Big Mod.zpk"}));
    EXPECT_EQ(dialog.shown, 0);
    EXPECT_TRUE(boxes.shown.empty());
}

// The switch's own check, on a real disk too small, is the platform fault test's.
TEST_F(MainWindowTest, TooLittleSpaceIsSaidWithBothFiguresBeforeAnythingIsWritten) {
    platform.freeSpace = 4;
    const Error error = ErrorOf([&] { main.Load(); });
    EXPECT_EQ(error.Number(), kErrorDiskFull);
    EXPECT_NE(error.Text().find("needs 8 bytes, but the disk of this folder has 4 bytes free"),
              std::string::npos)
        << error.Text();
    EXPECT_EQ(error.Path(), kGame + "\\mods");
    EXPECT_FALSE(platform.files.contains(kBackup));

    // A live archive to keep and the mod, each fitting alone: on one disk they must fit
    // together, on two each on its own.
    platform.files["C:\\m.zpk"] = "a mod!";
    platform.files[kBackup] = "original";
    platform.folders.insert(kGame);
    Register({kBackup, "C:\\m.zpk"});
    platform.files[kLive] = "the update";
    platform.freeSpace = 10;
    modList.items = {kBackup, "C:\\m.zpk"};
    modList.selected = 1;
    const auto files = platform.files;
    EXPECT_NE(ErrorOf([&] { main.OnSwitch(); }).Text().find("need 16 bytes"), std::string::npos);
    EXPECT_EQ(platform.files, files);
    EXPECT_EQ(platform.Setting("settings", "mods"), "2");
    platform.secondDisk.insert(kGame + "\\mods");
    main.OnSwitch();
    EXPECT_EQ(platform.files[kLive], "a mod!");
}

// Which paths count as new is the model test's matter too.
TEST_F(MainWindowTest, AddOffersZpkFilesAndAppendsNewPathsOnly) {
    platform.files["C:\\Mods\\One.zpk"] = "one";
    main.Load();
    dialog.answers = {"C:\\Mods\\One.zpk", "c:\\mods\\ONE.ZPK"};
    main.OnAdd();
    EXPECT_EQ(dialog.fileType.description, "Vexmoor Patch (*.zpk)");
    EXPECT_EQ(dialog.fileType.pattern, "*.zpk");
    main.OnAdd();  // the same file in other letter case
    EXPECT_EQ(modList.items, (Items{kBackup, "C:\\Mods\\One.zpk"}));
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(MainWindowTest, DropAddsNewFilesAfterTheBackupAndNamesWhatItSkippedInOneBox) {
    platform.files["C:\\a.zpk"] = "a";
    platform.files["C:\\b.zpk"] = "b";
    platform.folders.insert("C:\\folder");
    platform.failCopyInto.insert(kBackup);  // no backup: nothing dropped is registered
    ErrorOf([&] { main.OnDrop({"C:\\a.zpk"}); });
    EXPECT_EQ(platform.Setting("settings", "mods"), "<absent>");
    platform.failCopyInto.clear();
    platform.calls.clear();
    main.OnDrop({"C:\\a.zpk", "C:\\folder", "C:\\a.zpk", "C:\\gone.zpk", "C:\\b.zpk"});
    EXPECT_EQ(modList.items, (Items{kBackup, "C:\\a.zpk", "C:\\b.zpk"}));
    EXPECT_EQ(boxes.shown, (Boxes{{"Only files can be added as mods; these were skipped:\n"
                                   "C:\\folder\nC:\\gone.zpk",
                                   "Vexmoor Patchkeeper"}}));
    // Everything is stored before the box, and once the list is rebuilt, nothing more.
    EXPECT_EQ(platform.calls, (Items{"Begin", "CopyIfAbsent " + kLive + ">" + kBackup, "Commit",
                                     "Commit", "Commit", "Commit", "Commit", "End"}));
}

// Where the entries go is the model test's matter: here, what the window shows.
TEST_F(MainWindowTest, RemoveWithNothingSelectedChangesNothingAndTheLabelOutlivesItsEntry) {
    for (const char* f : {"C:\\1.zpk", "C:\\2.zpk", "C:\\3.zpk"}) {
        platform.files[f] = std::string(static_cast<std::size_t>(f[3] - '0'), 'x');
    }
    platform.files[kLive] = "xx";  // entry 2 is live
    Register({"C:\\1.zpk", "C:\\2.zpk", "C:\\3.zpk"});
    main.RefreshModList(3);
    main.OnRemove();
    EXPECT_EQ(platform.Setting("settings", "mods"), "3");
    EXPECT_EQ(modList.items.size(), 3U);
    modList.selected = 1;
    main.OnRemove();
    EXPECT_EQ(modList.items, (Items{"C:\\1.zpk", "C:\\3.zpk"}));
    EXPECT_EQ(currentMod.caption, "2.zpk");
}

}  // namespace
}  // namespace vx
