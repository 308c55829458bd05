#include <gtest/gtest.h>

#include "app/VXModMain.h"
#include "fakes/FakeControls.h"
#include "fakes/FakePlatform.h"

namespace vx {
namespace {

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
    VXModMain main{startup.Paths(), platform, boxes, {label2, list1, dialog}};

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
    std::string Entry(int i) const { return platform.Setting("mods", std::to_string(i)); }
};

TEST_F(VXModMainTest, FirstLoadBacksUpTheLiveArchiveAsEntryOne) {
    main.Load();
    EXPECT_TRUE(dialog.fileMustExist);
    EXPECT_EQ(platform.files[kBackup], "original");
    EXPECT_EQ(Entry(1), kBackup);
    EXPECT_EQ(platform.Setting("settings", "mods"), "1");
    EXPECT_EQ(list1.items, Items{kBackup});
    EXPECT_EQ(label2.caption, "NORMAL_patch_vx.zpk");
    EXPECT_TRUE(boxes.shown.empty());
    // Leftovers of an interrupted switch or backup go before anything else is written.
    EXPECT_EQ(platform.calls.at(0), "RemoveLeftovers " + kGame);
    EXPECT_EQ(platform.calls.at(1), "RemoveLeftovers " + kGame + "\\mods");
}

TEST_F(VXModMainTest, AnExistingBackupIsRegisteredAgainButNeverOverwritten) {
    platform.files[kBackup] = "the real original";
    platform.hidden.insert(kBackup);
    platform.Set("settings", "mods", "0");
    main.Load();
    EXPECT_EQ(platform.files[kBackup], "the real original");
    EXPECT_EQ(Entry(1), kBackup);
    EXPECT_EQ(platform.Setting("settings", "mods"), "1");
}

TEST_F(VXModMainTest, LoadWithANegativeCountWritesNothing) {
    platform.Set("settings", "mods", "-2");
    main.Load();
    EXPECT_TRUE(list1.items.empty());
    EXPECT_EQ(platform.settings.size(), 2U);
    EXPECT_EQ(Entry(1), "<absent>");
}

TEST_F(VXModMainTest, AFailedBackupRegistersNothing) {
    platform.folders.clear();  // the mods folder is gone
    EXPECT_THROW(main.Load(), Error);
    EXPECT_EQ(Entry(1), "<absent>");
    EXPECT_EQ(platform.Setting("settings", "mods"), "<absent>");
}

TEST_F(VXModMainTest, RefreshNamesTheLastEntryOfTheLiveSizeAndNeverClearsTheLabel) {
    platform.files["C:\\a.zpk"] = "AAAAAAAA";  // same size as the live archive
    platform.files["C:\\b.zpk"] = "BB";
    platform.files["C:\\c.zpk"] = "CCCCCCCC";
    Register({"C:\\a.zpk", "C:\\b.zpk", "C:\\c.zpk"});
    main.RefreshModList(3);
    EXPECT_EQ(list1.items, (Items{"C:\\a.zpk", "C:\\b.zpk", "C:\\c.zpk"}));
    EXPECT_EQ(label2.caption, "c.zpk");

    platform.files[kLive] = "x";
    main.RefreshModList(3);
    EXPECT_EQ(label2.caption, "c.zpk");
    main.RefreshModList(0);
    EXPECT_TRUE(list1.items.empty());
    EXPECT_EQ(label2.caption, "c.zpk");

    // A hidden match still moves the label, to the empty name a plain-files lookup gives.
    platform.hidden.insert("C:\\b.zpk");
    platform.files[kLive] = "yy";
    main.RefreshModList(3);
    EXPECT_EQ(label2.caption, "");
}

TEST_F(VXModMainTest, RefreshRepairsMissingAndAbsentEntriesWithOneBoxEach) {
    platform.files["C:\\a.zpk"] = "AA";
    platform.files["C:\\z.zpk"] = "ZZZZZZZZ";
    platform.Set("mods", "1", "C:\\a.zpk");
    platform.Set("mods", "2", "C:\\gone.zpk");
    platform.Set("mods", "4", "C:\\z.zpk");  // key 3 absent
    main.RefreshModList(4);
    EXPECT_EQ(boxes.shown, (Boxes{{"File not found C:\\gone.zpk", "Could not find file"},
                                  {"File not found ", "Could not find file"}}));
    EXPECT_EQ(Entry(2), kLive);
    EXPECT_EQ(Entry(3), kLive);
    EXPECT_EQ(list1.items, (Items{"C:\\a.zpk", kLive, kLive, "C:\\z.zpk"}));
    EXPECT_EQ(label2.caption, "z.zpk");  // a later entry of the live size still wins
}

TEST_F(VXModMainTest, AMissingLiveArchiveIsReportedOnceAndLosesNoEntry) {
    platform.files.erase(kLive);
    platform.files["C:\\a.zpk"] = "AA";
    Register({"C:\\a.zpk", "C:\\gone.zpk"});
    main.RefreshModList(2);
    EXPECT_EQ(boxes.shown, (Boxes{{"File not found " + kLive, "Could not find file"}}));
    EXPECT_EQ(Entry(1), "C:\\a.zpk");
    EXPECT_EQ(Entry(2), "C:\\gone.zpk");
    EXPECT_EQ(list1.items, (Items{"C:\\a.zpk", "C:\\gone.zpk"}));
    EXPECT_EQ(label2.caption, "$Current Mod$");
}

TEST_F(VXModMainTest, SwitchCopiesTheSelectedArchiveOverTheLiveOne) {
    platform.files["C:\\m\\Big Mod.zpk"] = "a mod!";
    main.Load();
    platform.Set("mods", "2", "C:\\m\\Big Mod.zpk");
    platform.Set("settings", "mods", "2");
    main.RefreshModList(2);

    main.SwtichClick();
    EXPECT_EQ(boxes.shown, (Boxes{{"Select something!", "Select Something"}}));
    EXPECT_EQ(platform.files[kLive], "original");

    list1.selected = 1;
    main.SwtichClick();
    EXPECT_EQ(platform.files[kLive], "a mod!");
    EXPECT_EQ(label2.caption, "Big Mod.zpk");
    EXPECT_EQ(list1.selected, -1);

    list1.selected = 0;
    main.SwtichClick();
    EXPECT_EQ(platform.files[kLive], "original");
    EXPECT_EQ(label2.caption, "NORMAL_patch_vx.zpk");
}

TEST_F(VXModMainTest, AFailedSwitchLeavesTheListAsItWas) {
    platform.files["C:\\m.zpk"] = "mod";
    Register({"C:\\m.zpk"});
    main.RefreshModList(1);
    platform.failReplaceInto.insert(kLive);
    list1.selected = 0;
    EXPECT_THROW(main.SwtichClick(), Error);
    EXPECT_EQ(platform.files[kLive], "original");
    EXPECT_EQ(list1.items, Items{"C:\\m.zpk"});
    EXPECT_EQ(label2.caption, "$Current Mod$");
}

TEST_F(VXModMainTest, AddAppendsNewPathsOnly) {
    platform.files["C:\\Mods\\One.zpk"] = "one";
    platform.files["C:\\Mods\\two.zpk"] = "original";
    main.Load();
    dialog.answers = {"", "C:\\Mods\\One.zpk", "c:\\mods\\ONE.ZPK", "C:\\Mods\\two.zpk"};

    main.Command2Click();  // nothing chosen
    EXPECT_EQ(dialog.filter, (std::vector<FileType>{{"Vexmoor Patch (*.zpk)", "*.zpk"}}));
    main.Command2Click();
    main.Command2Click();  // the same file in other letter case
    EXPECT_EQ(platform.Setting("settings", "mods"), "2");
    main.Command2Click();
    main.Command2Click();  // the dialog still holds the previous choice
    EXPECT_EQ(platform.Setting("settings", "mods"), "3");
    EXPECT_EQ(Entry(2), "C:\\Mods\\One.zpk");
    EXPECT_EQ(Entry(3), "C:\\Mods\\two.zpk");
    EXPECT_EQ(list1.items, (Items{kBackup, "C:\\Mods\\One.zpk", "C:\\Mods\\two.zpk"}));
    EXPECT_EQ(label2.caption, "two.zpk");
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(VXModMainTest, AddRefusesToGrowAFullRegistry) {
    platform.Set("settings", "mods", "32767");
    dialog.answers = {"C:\\new.zpk"};
    try {
        main.Command2Click();
        FAIL() << "expected an overflow";
    } catch (const Error& e) {
        EXPECT_EQ(e.Number(), kErrorOverflow);
    }
    EXPECT_EQ(platform.Setting("settings", "mods"), "32767");
    EXPECT_EQ(Entry(32768), "<absent>");
}

TEST_F(VXModMainTest, RemoveMovesLaterEntriesDown) {
    for (const char* f : {"C:\\1.zpk", "C:\\2.zpk", "C:\\3.zpk"}) {
        platform.files[f] = f;
    }
    Register({"C:\\1.zpk", "C:\\2.zpk", "C:\\3.zpk"});
    main.RefreshModList(3);

    main.Command1Click();  // nothing selected: only the count is written back
    EXPECT_EQ(platform.Setting("settings", "mods"), "3");
    EXPECT_EQ(list1.items.size(), 3U);

    list1.selected = 1;
    main.Command1Click();
    EXPECT_EQ(Entry(1), "C:\\1.zpk");
    EXPECT_EQ(Entry(2), "C:\\3.zpk");
    EXPECT_EQ(Entry(3), "");
    EXPECT_EQ(platform.Setting("settings", "mods"), "2");
    EXPECT_EQ(list1.items, (Items{"C:\\1.zpk", "C:\\3.zpk"}));
    EXPECT_EQ(platform.files["C:\\2.zpk"], "C:\\2.zpk");  // the archive itself stays
}

TEST_F(VXModMainTest, RemovingTheLastEntryLeavesTheLabelAndBringsTheBackupBackNextStart) {
    main.Load();
    list1.selected = 0;
    main.Command1Click();
    EXPECT_EQ(platform.Setting("settings", "mods"), "0");
    EXPECT_EQ(Entry(1), "");
    EXPECT_TRUE(list1.items.empty());
    EXPECT_EQ(label2.caption, "NORMAL_patch_vx.zpk");

    main.Load();
    EXPECT_EQ(Entry(1), kBackup);
    EXPECT_EQ(list1.items, Items{kBackup});
}

}  // namespace
}  // namespace vx
