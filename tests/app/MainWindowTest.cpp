#include "app/MainWindow.h"

#include <gtest/gtest.h>

#include "fakes/FakeControls.h"
#include "fakes/FakePlatform.h"
#include "support/Failure.h"

namespace vx {
namespace {

using test::Boxes, test::ErrorOf;
using Items = std::vector<std::string>;

const std::string kGame = "C:\\VX";
const std::string kLive = "C:\\VX\\patch_vx.zpk";
const std::string kBackup = "C:\\VX\\mods\\NORMAL_patch_vx.zpk";
const std::string kMod = "C:\\m\\Big Mod.zpk";

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
        platform.files[kMod] = "a mod!";
        // Whatever a command shows, the store already holds.
        boxes.whenShown = [this] { EXPECT_FALSE(platform.Unwritten()) << "a box came first"; };
        modList.whenSet = [this] { EXPECT_FALSE(platform.Unwritten()) << "listed unstored"; };
    }
    // Registers `paths` as entries 1..n directly in the store, and lists them as a start does.
    void Register(const Items& paths) {
        for (std::size_t i = 0; i < paths.size(); ++i) {
            platform.Set("mods", std::to_string(i + 1), paths[i]);
        }
        platform.Set("settings", "mods", std::to_string(paths.size()));
        main.Load();
    }
    void Switch(int row) {
        modList.selected = row;
        main.OnSwitch();
    }
};

// Before any entry, the first command backs up the live archive as entry one; with no backup,
// nothing dropped is registered. A drop names what it skipped in one box.
TEST_F(MainWindowTest, FromNoEntriesCommandsBackUpFirstThenAddWhatTheyCanAndSayWhy) {
    platform.failCopyInto.insert(kBackup);
    ErrorOf([&] { main.OnDrop({kMod}); });
    EXPECT_EQ(platform.Setting("settings", "mods"), "<absent>");
    platform.failCopyInto.clear();
    modList.items = {kMod};
    Switch(0);  // backs up first
    EXPECT_EQ(platform.files[kBackup], "original");
    EXPECT_EQ(platform.files[kLive], "a mod!");
    EXPECT_EQ(modList.items, Items{kBackup});
    main.OnSwitch();                                // nothing selected
    dialog.answers = {kMod, "c:\\M\\big MOD.zpk"};  // one file, two spellings: listed once
    main.OnAdd();
    main.OnAdd();
    platform.files["C:\\b.zpk"] = "b";
    platform.folders.insert("C:\\folder");
    main.OnDrop({kMod, "C:\\folder", "C:\\gone.zpk", "C:\\b.zpk"});
    EXPECT_EQ(modList.items, (Items{kBackup, kMod, "C:\\b.zpk"}));
    EXPECT_EQ(boxes.shown, (Boxes{{"Select something!", "Select Something"},
                                  {"Only files can be added as mods; these were skipped:\n"
                                   "C:\\folder\nC:\\gone.zpk",
                                   "Vexmoor Patchkeeper"}}));
}

// A negative count lists nothing and is refused like text by the commands that write; a full
// registry cannot grow. Nothing is written either way.
TEST_F(MainWindowTest, CountsThatCannotChangeAreRefusedWritingNothing) {
    platform.Set("settings", "mods", "-5");
    const auto stored = platform.settings;
    EXPECT_NE(ErrorOf([&] { main.OnAdd(); }).Text().find("\"-5\""), std::string::npos);
    EXPECT_EQ(ErrorOf([&] { main.OnRemove(); }).Number(), kErrorTypeMismatch);
    modList.items = {kMod};
    EXPECT_EQ(ErrorOf([&] { Switch(0); }).Number(), kErrorTypeMismatch);
    main.Load();
    EXPECT_EQ(platform.settings, stored);
    platform.Set("settings", "mods", "32767");
    dialog.answers = {kMod};
    EXPECT_EQ(ErrorOf([&] { main.OnAdd(); }).Number(), kErrorOverflow);
}

// The label names the last entry of the live size as its folder spells it, and is never
// cleared: not by a refresh of nothing, nor when its entry is removed. Where the entries go on
// a remove is the model test's matter; here, the key the last one leaves, which it does not read.
TEST_F(MainWindowTest, TheLabelNamesTheLastEntryOfTheLiveSizeAndOutlivesItsEntry) {
    platform.files["C:\\a.zpk"] = "AAAAAAAA";  // same size as the live archive
    platform.files["C:\\b.zpk"] = "BB";
    platform.files["C:\\c.zpk"] = "CCCCCCCC";
    Register({"C:\\a.zpk", "C:\\b.zpk", "C:\\c.zpk"});
    main.RefreshModList(0);
    EXPECT_EQ(currentMod.caption, "c.zpk");
    // Removing the live entry leaves its name on the label.
    platform.files[kLive] = "yy";
    main.OnRemove();  // nothing selected
    EXPECT_EQ(platform.Setting("settings", "mods"), "3");
    modList.selected = 1;
    main.OnRemove();
    EXPECT_EQ(modList.items, (Items{"C:\\a.zpk", "C:\\c.zpk"}));
    EXPECT_EQ(platform.Setting("mods", "3"), "");
    EXPECT_EQ(currentMod.caption, "b.zpk");
    // A hidden match still moves the label, to the empty name a plain-files lookup gives.
    platform.hidden.insert("C:\\c.zpk");
    platform.files[kLive] = "ZZZZZZZZ";
    main.RefreshModList(2);
    EXPECT_EQ(currentMod.caption, "");
}

// A live archive gone while a repair box waits can take no more entries' paths.
TEST_F(MainWindowTest, ALiveArchiveGoneDuringARepairBoxRepairsNothingMore) {
    boxes.whenShown = [&] { platform.files.erase(kLive); };
    Register({"C:\\gone.zpk", "C:\\also gone.zpk"});
    EXPECT_EQ(platform.Setting("mods", "2"), "C:\\also gone.zpk");
}

TEST_F(MainWindowTest, RefreshRepairsMissingAndAbsentEntriesWithOneBoxEach) {
    // Without the live archive nothing can be repaired: one box says so, and no entry is lost.
    platform.files.erase(kLive);
    Register({kMod, "C:\\gone.zpk"});
    EXPECT_EQ(modList.items, (Items{kMod, "C:\\gone.zpk"}));
    // A repaired entry leads to the live archive, so it is of its size; z.zpk is not.
    platform.files[kLive] = "a mod!";
    platform.files["C:\\z.zpk"] = "ZZZZZZZZ";
    platform.Set("mods", "4", "C:\\z.zpk");  // key 3 absent
    platform.Set("settings", "mods", "4");
    main.Load();
    EXPECT_EQ(boxes.shown, (Boxes{{"File not found " + kLive, "Could not find file"},
                                  {"File not found C:\\gone.zpk", "Could not find file"},
                                  {"File not found ", "Could not find file"}}));
    EXPECT_EQ(platform.Setting("mods", "3"), kLive);  // and entry 2, as the list shows
    EXPECT_EQ(modList.items, (Items{kMod, kLive, kLive, "C:\\z.zpk"}));
}

// A game update, or an archive put in place by hand, is the only copy of itself: a switch
// keeps it first. An entry that leads to the live archive itself, however spelled (a repaired
// one, a link, another name for the folder), is no copy of it.
TEST_F(MainWindowTest, SwitchKeepsALiveArchiveThatMatchesNoEntryBeforeReplacingIt) {
    const std::string kept = "C:\\VX\\mods\\patch_vx-2026-12-07";
    const std::string otherSpelling = "Z:\\VX\\patch_vx.zpk";
    platform.links[otherSpelling] = kLive;
    platform.files[kept + ".zpk"] = "taken";
    platform.files[kLive] = "updated!";
    Register({kLive, otherSpelling, kMod});
    Switch(1);  // the live archive itself: nothing to keep
    EXPECT_EQ(platform.files.size(), 3U);
    // Kept and listed before the switch, which then fails.
    platform.failCopyInto.insert(kLive);
    ErrorOf([&] { Switch(2); });
    EXPECT_EQ(platform.files[kept + "-2.zpk"], "updated!");
    EXPECT_EQ(boxes.shown, (Boxes{{"The game's patch archive matched none of your mods; it was "
                                   "kept as " +
                                       kept + "-2.zpk before switching.",
                                   "Vexmoor Patchkeeper"}}));
    EXPECT_EQ(modList.items, (Items{kLive, otherSpelling, kMod, kept + "-2.zpk"}));
}

// A cancel is the user's own choice: no box, nothing kept or replaced; while a copy runs the
// window lives on, but no command starts. Whichever
// file another program holds is the one the Retry box names. Any other failure, whatever its
// number (even one a cancel once had), is a failure, not a cancel.
TEST_F(MainWindowTest, ASwitchCancelledHeldOrFailedChangesNothingAndSaysWhy) {
    platform.files[kBackup] = "original";
    Register({kBackup, kMod});
    platform.copyUntilCancelled = true;
    copies.during = [&](CopyJob& job) {
        job.Cancel();
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
        Switch(1);
        EXPECT_EQ(platform.files, before);
        EXPECT_EQ(platform.settings, stored);
    }
    EXPECT_EQ(copies.names, (Items{"patch_vx.zpk", "Big Mod.zpk"}));
    EXPECT_EQ(dialog.shown, 0U);
    EXPECT_TRUE(boxes.shown.empty());
    platform.heldOpen = {kMod};
    Switch(1);
    platform.heldOpen = {kLive};
    Switch(1);
    ASSERT_EQ(boxes.shown.size(), 2U);
    EXPECT_TRUE(boxes.shown[0].first.ends_with("\n\n" + kMod));
    EXPECT_TRUE(boxes.shown[1].first.ends_with("\n\n" + kLive));
    platform.heldOpen.clear();
    platform.failCopyInto.insert(kLive);
    for (const int number : {18, 1223}) {  // EXDEV or ERROR_NO_MORE_FILES; ERROR_CANCELLED
        platform.copyFailure = number;
        EXPECT_EQ(ErrorOf([&] { Switch(1); }).Number(), number);
    }
}

// The switch's own check, on a real disk too small, is the platform fault test's.
TEST_F(MainWindowTest, TooLittleSpaceIsSaidBeforeAnythingIsWritten) {
    // A live archive to keep and the mod, each fitting alone: on one disk they must fit
    // together.
    platform.files[kBackup] = "original";
    platform.folders.insert(kGame);
    platform.files[kLive] = "the update";
    platform.freeSpace = 10;
    Register({kBackup, kMod});
    const auto files = platform.files;
    EXPECT_NE(ErrorOf([&] { Switch(1); }).Text().find("need 16 bytes"), std::string::npos);
    EXPECT_EQ(platform.files, files);
}

}  // namespace
}  // namespace vx
