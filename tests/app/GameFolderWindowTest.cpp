#include "app/GameFolderWindow.h"

#include <gtest/gtest.h>

#include "fakes/FakeControls.h"
#include "fakes/FakePlatform.h"
#include "support/Failure.h"

namespace vx {
namespace {

struct RecordingOpener : MainWindowOpener {
    int opened = 0;
    void OpenMainWindow() override { ++opened; }
};

class GameFolderWindowTest : public ::testing::Test {
  protected:
    test::FakePlatform platform;
    Startup startup{platform};
    test::FakeMessageBoxes boxes;
    RecordingOpener opener;
    test::FakeWindow window;
    test::FakeTextBox folderText;
    test::FakeFolderDialog browser;
    GameFolderWindow gameFolder{startup, platform, boxes, opener, {window, folderText, browser}};
};

// Only the exact text "nopath" means none; a folder is taken as typed and not examined.
TEST_F(GameFolderWindowTest, StartupOpensTheMainWindowForAnyRememberedFolder) {
    EXPECT_EQ(startup.Run(), FirstWindow::GameFolder);
    platform.Set("settings", "vxpath", "nopath");
    EXPECT_EQ(startup.Run(), FirstWindow::GameFolder);
    platform.Set("settings", "vxpath", "D:\\gone\\");
    EXPECT_EQ(startup.Run(), FirstWindow::Main);
    EXPECT_EQ(startup.Paths().PatchPath, "D:\\gone\\\\patch_vx.zpk");
}

TEST_F(GameFolderWindowTest, LoadOffersTheSuggestedFolderAndBrowseReplacesItUnlessCancelled) {
    gameFolder.Load();
    gameFolder.OnBrowse();  // cancelled
    EXPECT_EQ(folderText.text, "C:\\program files\\vexmoor");
    browser.answer = "D:\\Games\\Vexmoor";
    gameFolder.OnBrowse();
    EXPECT_EQ(folderText.text, "D:\\Games\\Vexmoor");
}

// The game's executable in any letter case; the mods folder made unless one of that name, in
// any case, stands there, and the folder remembered only once it has one.
TEST_F(GameFolderWindowTest, OkAcceptsOnlyAFolderWithTheGameAndAModsEntry) {
    platform.files["C:\\a\\Vexmoor.exe"] = "exe";
    platform.folders.insert("C:\\a\\MODS");
    platform.files["C:\\Games\\VX\\vexmoor.exe"] = "exe";
    for (const auto& [folder, opens] : std::vector<std::pair<std::string, int>>{
             {"C:\\no game", 0}, {"C:\\a", 1}, {"C:\\Games\\VX", 2}}) {
        folderText.text = folder;
        test::FailureOf([&] { gameFolder.OnOk(); });
        EXPECT_EQ(opener.opened, opens) << folder;
        if (opens == 0) {
            EXPECT_EQ(platform.Setting("settings", "vxpath"), "<absent>");
        }
    }
    EXPECT_EQ(boxes.shown, (test::Boxes{{"Path Invalid: C:\\no game", "Invalid Path"}}));
    EXPECT_EQ(platform.folders, (std::set<std::string>{"C:\\a\\MODS", "C:\\Games\\VX\\mods"}));
    EXPECT_EQ(platform.Setting("settings", "vxpath"), "C:\\Games\\VX");
    EXPECT_EQ(startup.Paths().PatchPath, "C:\\Games\\VX\\patch_vx.zpk");
}

}  // namespace
}  // namespace vx
