#include <gtest/gtest.h>

#include <tuple>

#include "app/VXModMain.h"
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

class VXModMainTest : public ::testing::Test {
  protected:
    test::FakePlatform platform;
    Startup startup{platform};
    test::FakeMessageBoxes boxes;
    test::FakeLabel label2;
    test::FakeListBox list1;
    test::FakeOpenFileDialog dialog;
    test::FakeCopyWatcher copies;
    VXModMain main{startup.Paths(), platform, boxes, {label2, list1, dialog, copies}};

    void SetUp() override {
        platform.Set("settings", "vxpath", kGame);
        ASSERT_EQ(startup.Run(), FirstWindow::VXModMain);
        platform.folders.insert(kGame + "\\mods");
        platform.files[kLive] = "original";
        label2.caption = "$Current Mod$";
    }
    // Registers `paths` as entries 1..n directly in the store.
    void Register(const Items& paths) {
        for (std::size_t i = 0; i < paths.size(); ++i) {
            platform.Set("mods", std::to_string(i + 1), paths[i]);
        }
        platform.Set("settings", "mods", std::to_string(paths.size()));
    }
};

TEST_F(VXModMainTest, FirstLoadBacksUpTheLiveArchiveAsEntryOne) {
    main.Load();
    EXPECT_TRUE(dialog.fileMustExist);
    EXPECT_EQ(list1.items, Items{kBackup});
    EXPECT_EQ(label2.caption, "NORMAL_patch_vx.zpk");
    EXPECT_TRUE(boxes.shown.empty());
    // Leftovers of an interrupted switch or backup go before anything else is written, and
    // the registered backup is stored before the list shows it.
    EXPECT_EQ(platform.calls,
              (Items{"Begin", "RemoveLeftovers " + kGame, "RemoveLeftovers " + kGame + "\\mods",
                     "CopyIfAbsent " + kLive + ">" + kBackup, "Commit", "Commit", "End"}));
}

// A negative count lists nothing and is refused like text by what would write; a full
// registry cannot grow. Nothing is written either way.
TEST_F(VXModMainTest, CountsThatCannotChangeAreRefusedWritingNothing) {
    dialog.answers = {"C:\\new.zpk"};
    for (const auto& [count, number, commands] :
         std::vector<std::tuple<std::string, int, std::vector<void (VXModMain::*)()>>>{
             {"-5", kErrorTypeMismatch, {&VXModMain::Command2Click, &VXModMain::Command1Click}},
             {"32767", kErrorOverflow, {&VXModMain::Command2Click}}}) {
        platform.Set("settings", "mods", count);
        const auto before = platform.settings;
        for (auto command : commands) {
            const Error error = ErrorOf([&] { (main.*command)(); });
            EXPECT_EQ(error.Number(), number) << count;
            EXPECT_TRUE(number != kErrorTypeMismatch ||
                        error.Text().find("\"" + count + "\"") != std::string::npos);
        }
        EXPECT_EQ(platform.settings, before);
    }
    platform.Set("settings", "mods", "-5");
    EXPECT_EQ(ErrorOf([&] { main.DropFiles({"C:\\new.zpk"}); }).Number(), kErrorTypeMismatch);
    main.Load();  // the load lists a negative count as nothing
    EXPECT_TRUE(list1.items.empty());
}

TEST_F(VXModMainTest, RefreshNamesTheLastEntryOfTheLiveSizeAndNeverClearsTheLabel) {
    platform.files["C:\\a.zpk"] = "AAAAAAAA";  // same size as the live archive
    platform.files["C:\\b.zpk"] = "BB";
    platform.files["C:\\c.zpk"] = "CCCCCCCC";
    Register({"C:\\a.zpk", "C:\\b.zpk", "C:\\c.zpk"});
    main.RefreshModList(3);
    EXPECT_EQ(list1.items, (Items{"C:\\a.zpk", "C:\\b.zpk", "C:\\c.zpk"}));
    EXPECT_EQ(label2.caption, "c.zpk");

    main.RefreshModList(0);
    EXPECT_TRUE(list1.items.empty());
    EXPECT_EQ(label2.caption, "c.zpk");

    // A hidden match still moves the label, to the empty name a plain-files lookup gives.
    platform.hidden.insert("C:\\b.zpk");
    platform.files[kLive] = "yy";
    main.RefreshModList(3);
    EXPECT_EQ(label2.caption, "");

    // A folder that cannot be listed hides the stored name, not the file: nothing repaired.
    platform.unlistable.insert("C:");
    main.RefreshModList(3);
    EXPECT_EQ(label2.caption, "b.zpk");
    EXPECT_EQ(list1.items, (Items{"C:\\a.zpk", "C:\\b.zpk", "C:\\c.zpk"}));
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(VXModMainTest, RefreshRepairsMissingAndAbsentEntriesWithOneBoxEach) {
    platform.files["C:\\a.zpk"] = "AA";
    platform.files["C:\\z.zpk"] = "ZZZZZZZZ";
    platform.Set("mods", "1", "C:\\a.zpk");
    platform.Set("mods", "2", "C:\\gone.zpk");
    platform.Set("mods", "4", "C:\\z.zpk");  // key 3 absent
    // Without the live archive nothing can be repaired: one box says so, and no entry is lost.
    platform.files.erase(kLive);
    main.RefreshModList(2);
    EXPECT_EQ(boxes.shown, (Boxes{{"File not found " + kLive, "Could not find file"}}));
    EXPECT_EQ(list1.items, (Items{"C:\\a.zpk", "C:\\gone.zpk"}));
    EXPECT_EQ(label2.caption, "$Current Mod$");
    platform.files[kLive] = "original";
    boxes.shown.clear();
    main.RefreshModList(4);
    EXPECT_EQ(boxes.shown, (Boxes{{"File not found C:\\gone.zpk", "Could not find file"},
                                  {"File not found ", "Could not find file"}}));
    EXPECT_EQ(platform.Setting("mods", "3"), kLive);  // and entry 2, as the list shows
    EXPECT_EQ(list1.items, (Items{"C:\\a.zpk", kLive, kLive, "C:\\z.zpk"}));
    EXPECT_EQ(label2.caption, "z.zpk");  // a later entry of the live size still wins
}

// The Select Something box is the window bindings' tests' matter.
TEST_F(VXModMainTest, SwitchBacksUpFirstThenCopiesTheSelectedArchiveOverTheLiveOne) {
    platform.files["C:\\m\\Big Mod.zpk"] = "a mod!";
    list1.items = {"C:\\m\\Big Mod.zpk"};  // offered before any count was stored
    list1.selected = 0;
    main.SwtichClick();
    EXPECT_EQ(platform.files[kBackup], "original");
    EXPECT_EQ(platform.files[kLive], "a mod!");
    EXPECT_EQ(list1.items, Items{kBackup});

    Register({kBackup, "C:\\m\\Big Mod.zpk"});
    main.RefreshModList(2);
    list1.selected = 0;
    main.SwtichClick();
    EXPECT_EQ(platform.files[kLive], "original");
    EXPECT_EQ(label2.caption, "NORMAL_patch_vx.zpk");
    EXPECT_EQ(list1.selected, -1);
    list1.selected = 1;
    main.SwtichClick();
    EXPECT_EQ(platform.files[kLive], "a mod!");
    EXPECT_EQ(label2.caption, "Big Mod.zpk");
}

// A game update, or an archive put in place by hand, is the only copy of itself: a switch
// keeps it first. An entry naming the live archive itself (a repaired one) is no copy of it.
// That switching on keeps nothing more is the model test's matter.
TEST_F(VXModMainTest, SwitchKeepsALiveArchiveThatMatchesNoEntryBeforeReplacingIt) {
    const std::string kept = "C:\\VX\\mods\\patch_vx-2026-12-07";
    platform.files["C:\\m.zpk"] = "mod";
    platform.files[kept + ".zpk"] = "taken";
    Register({kLive, "C:\\m.zpk"});
    platform.files[kLive] = "updated!";
    list1.items = {kLive, "C:\\m.zpk"};
    list1.selected = 1;
    main.SwtichClick();
    EXPECT_EQ(platform.files[kept + "-2.zpk"], "updated!");
    EXPECT_EQ(boxes.shown, (Boxes{{"The game's patch archive matched none of your mods; it was "
                                   "kept as " +
                                       kept + "-2.zpk before switching.",
                                   "Vexmoor Patchkeeper"}}));
    EXPECT_EQ(list1.items, (Items{kLive, "C:\\m.zpk", kept + "-2.zpk"}));
    EXPECT_EQ(platform.files[kLive], "mod");
}

// A cancel is the user's own choice: no box, nothing kept or replaced, the list rebuilt as
// after any switch. While a copy runs the window lives on, but no command starts.
TEST_F(VXModMainTest, ACancelledSwitchChangesNothingAndNoCommandStartsDuringACopy) {
    const std::string mod = "C:\\m\\Big Mod.zpk";
    platform.files[mod] = "a mod!";
    main.Load();
    Register({kBackup, mod});
    copies.cancel = true;
    copies.during = [&] {
        dialog.answers = {mod};
        main.Command2Click();
        main.Command1Click();
        main.DropFiles({"C:\\gone.zpk"});
        main.SwtichClick();
    };
    // The first copy is the keeping of an unknown live archive, the second the switch's own.
    for (const std::string live : {"new!", "original"}) {
        platform.files[kLive] = live;
        const auto before = platform.files;
        const auto stored = platform.settings;
        list1.items = {kBackup, mod, "gone"};
        list1.selected = 1;
        main.SwtichClick();
        EXPECT_EQ(platform.files, before);
        EXPECT_EQ(platform.settings, stored);
        EXPECT_EQ(list1.items, (Items{kBackup, mod}));
    }
    EXPECT_EQ(copies.names, (Items{"patch_vx.zpk", "patch_vx.zpk", "Big Mod.zpk"}));
    EXPECT_EQ(dialog.shown, 0);
    EXPECT_TRUE(boxes.shown.empty());
}

// The switch's own check, on a real disk too small, is the platform fault test's.
TEST_F(VXModMainTest, TooLittleSpaceIsSaidWithBothFiguresBeforeAnythingIsWritten) {
    platform.freeSpace = 4;
    const Error error = ErrorOf([&] { main.Load(); });
    EXPECT_EQ(error.Number(), kErrorDiskFull);
    EXPECT_NE(error.Text().find("needs 8 bytes, but the disk of this folder has 4 bytes free"),
              std::string::npos)
        << error.Text();
    EXPECT_EQ(error.Path(), kGame + "\\mods");
    EXPECT_FALSE(platform.files.contains(kBackup));
}

// Which paths count as new is the model test's matter too.
TEST_F(VXModMainTest, AddOffersZpkFilesAndAppendsNewPathsOnly) {
    platform.files["C:\\Mods\\One.zpk"] = "one";
    main.Load();
    dialog.answers = {"C:\\Mods\\One.zpk", "c:\\mods\\ONE.ZPK"};
    main.Command2Click();
    EXPECT_EQ(dialog.filter, (std::vector<FileType>{{"Vexmoor Patch (*.zpk)", "*.zpk"}}));
    main.Command2Click();  // the same file in other letter case
    EXPECT_EQ(list1.items, (Items{kBackup, "C:\\Mods\\One.zpk"}));
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(VXModMainTest, DropAddsNewFilesAfterTheBackupAndNamesWhatItSkippedInOneBox) {
    platform.files["C:\\a.zpk"] = "a";
    platform.files["C:\\b.zpk"] = "b";
    platform.folders.insert("C:\\folder");
    platform.failCopyInto.insert(kBackup);  // no backup: nothing dropped is registered
    ErrorOf([&] { main.DropFiles({"C:\\a.zpk"}); });
    EXPECT_EQ(platform.Setting("settings", "mods"), "<absent>");
    platform.failCopyInto.clear();
    platform.calls.clear();
    main.DropFiles({"C:\\a.zpk", "C:\\folder", "C:\\a.zpk", "C:\\gone.zpk", "C:\\b.zpk"});
    EXPECT_EQ(list1.items, (Items{kBackup, "C:\\a.zpk", "C:\\b.zpk"}));
    EXPECT_EQ(boxes.shown, (Boxes{{"Only files can be added as mods; these were skipped:\n"
                                   "C:\\folder\nC:\\gone.zpk",
                                   "Vexmoor Patchkeeper"}}));
    // Everything is stored before the box, and once the list is rebuilt, nothing more.
    EXPECT_EQ(platform.calls, (Items{"Begin", "CopyIfAbsent " + kLive + ">" + kBackup, "Commit",
                                     "Commit", "Commit", "Commit", "Commit", "End"}));
}

// Where the entries go is the model test's matter: here, what the window shows.
TEST_F(VXModMainTest, RemoveWithNothingSelectedChangesNothingAndTheLabelOutlivesItsEntry) {
    for (const char* f : {"C:\\1.zpk", "C:\\2.zpk", "C:\\3.zpk"}) {
        platform.files[f] = std::string(static_cast<std::size_t>(f[3] - '0'), 'x');
    }
    platform.files[kLive] = "xx";  // entry 2 is live
    Register({"C:\\1.zpk", "C:\\2.zpk", "C:\\3.zpk"});
    main.RefreshModList(3);
    main.Command1Click();
    EXPECT_EQ(platform.Setting("settings", "mods"), "3");
    EXPECT_EQ(list1.items.size(), 3U);
    list1.selected = 1;
    main.Command1Click();
    EXPECT_EQ(list1.items, (Items{"C:\\1.zpk", "C:\\3.zpk"}));
    EXPECT_EQ(label2.caption, "2.zpk");
}

}  // namespace
}  // namespace vx
