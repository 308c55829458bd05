#include <gtest/gtest.h>

#include "app/GameFolderWindow.h"
#include "app/Startup.h"
#include "fakes/FakeControls.h"
#include "fakes/FakePlatform.h"

namespace vx {
namespace {

using test::FakePlatform;

struct RecordingOpener : MainWindowOpener {
    int opened = 0;
    void OpenMainWindow() override { ++opened; }
};

class GameFolderWindowTest : public ::testing::Test {
  protected:
    FakePlatform platform;
    Startup startup{platform};
    test::FakeMessageBoxes boxes;
    RecordingOpener opener;
    test::FakeWindow window;
    test::FakeTextBox folderText;
    test::FakeFolderDialog browser;
    GameFolderWindow dir{startup, platform, boxes, opener, {window, folderText, browser}};

    void SetUp() override {
        window.visible = true;
        ASSERT_EQ(startup.Run(), FirstWindow::GameFolder);
    }
    void PressOk(const std::string& folder) {
        folderText.text = folder;
        dir.OnOk();
    }
};

TEST(StartupTest, ChoosesTheWindowFromTheRememberedFolder) {
    FakePlatform platform;
    Startup startup(platform);
    EXPECT_EQ(startup.Run(), FirstWindow::GameFolder);

    platform.Set("settings", "vxpath", "nopath");
    EXPECT_EQ(startup.Run(), FirstWindow::GameFolder);
    platform.Set("settings", "vxpath", "NOPATH");  // only the exact text means "none"
    EXPECT_EQ(startup.Run(), FirstWindow::Main);

    // Taken as typed: a trailing separator doubles, and the folder is not examined.
    platform.Set("settings", "vxpath", "D:\\gone\\");
    EXPECT_EQ(startup.Run(), FirstWindow::Main);
    EXPECT_EQ(startup.Paths().GamePath, "D:\\gone\\");
    EXPECT_EQ(startup.Paths().ModsPath, "D:\\gone\\\\mods");
    EXPECT_EQ(startup.Paths().PatchPath, "D:\\gone\\\\patch_vx.zpk");
    EXPECT_TRUE(platform.calls.empty());
}

TEST_F(GameFolderWindowTest, LoadOffersTheSuggestedFolderAndBrowseReplacesItUnlessCancelled) {
    dir.Load();
    EXPECT_EQ(folderText.text, "C:\\program files\\vexmoor");
    dir.OnBrowse();  // cancelled
    browser.answer = "D:\\Games\\Vexmoor";
    dir.OnBrowse();
    EXPECT_EQ(browser.starts, (std::vector<std::string>{"C:\\program files\\vexmoor",
                                                        "C:\\program files\\vexmoor"}));
    EXPECT_EQ(folderText.text, "D:\\Games\\Vexmoor");
    EXPECT_TRUE(platform.calls.empty());
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(GameFolderWindowTest, RefusesAFolderWithoutTheGame) {
    platform.folders.insert("C:\\games\\vexmoor.exe\\sub");
    PressOk("C:\\games");
    PressOk("");  // probes the root of the current drive
    ASSERT_EQ(boxes.shown.size(), 2U);
    EXPECT_EQ(boxes.shown[0],
              std::make_pair(std::string("Path Invalid: C:\\games"), std::string("Invalid Path")));
    EXPECT_EQ(boxes.shown[1].first, "Path Invalid: ");
    EXPECT_TRUE(window.visible);
    EXPECT_EQ(opener.opened, 0);
    EXPECT_TRUE(platform.settings.empty());
    EXPECT_TRUE(platform.calls.empty());
}

// A folder whose mods folder cannot be made is not remembered; a mods entry of any kind or
// letter case is kept as it is.
TEST_F(GameFolderWindowTest, AcceptsTheGameInAnyLetterCaseOnceItHasAModsEntry) {
    platform.files["C:\\ro\\Vexmoor.exe"] = "exe";
    platform.failMakeFolder.insert("C:\\ro\\mods");
    EXPECT_THROW(PressOk("C:\\ro"), Error);
    EXPECT_EQ(platform.Setting("settings", "vxpath"), "<absent>");
    EXPECT_TRUE(window.visible);
    platform.files["C:\\a\\Vexmoor.exe"] = "exe";
    platform.folders.insert("C:\\a\\MODS");
    platform.files["C:\\b\\Vexmoor.exe"] = "exe";
    platform.files["C:\\b\\Mods"] = "a file";
    platform.files["C:\\Games\\VX\\VEXMOOR.EXE"] = "exe";
    platform.calls.clear();
    for (const char* folder : {"C:\\a", "C:\\b", "C:\\Games\\VX"}) {
        PressOk(folder);
    }
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(platform.calls, std::vector<std::string>{"MakeFolder C:\\Games\\VX\\mods"});
    EXPECT_EQ(platform.Setting("settings", "vxpath"), "C:\\Games\\VX");
    EXPECT_EQ(startup.Paths().PatchPath, "C:\\Games\\VX\\patch_vx.zpk");
    EXPECT_FALSE(window.visible);
    EXPECT_EQ(opener.opened, 3);
}

}  // namespace
}  // namespace vx
