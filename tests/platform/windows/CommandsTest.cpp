// The main window's commands over the real services: the first-run backup, a running game that
// holds its archive, and the copy kept of an archive that matches no mod.
#include "app/MainWindow.h"
#include "fakes/FakeControls.h"
#include "platform/windows/ServicesTest.h"
#include "state/SettingsLayout.h"

namespace vx::windows {
namespace {

class MainWindowTest : public ServicesTest {
  protected:
    void Add(const std::string& file) {
        dialog_.answers.push_back(file);
        main_.OnAdd();
    }

    SharedPaths paths_{folder_.Utf8(), folder_ / "mods", live_};
    std::string backup_ = folder_ / "mods\\NORMAL_patch_vx.zpk";
    test::FakeLabel label_;
    test::FakeListBox list_;
    test::FakeOpenFileDialog dialog_;
    test::FakeMessageBoxes boxes_;
    test::FakeCopyWatcher copies_;
    vx::MainWindow main_{paths_, services_, boxes_, {label_, list_, dialog_, copies_}};
};

TEST_F(MainWindowTest, NothingIsRegisteredOrReplacedWhileTheGamesArchiveCannotBeBackedUp) {
    steps_.fault.at = Step::Copy;  // the disk is full
    const Error error = test::ErrorOf([&] { main_.Load(); });
    EXPECT_EQ(error.Number(), ERROR_DISK_FULL);
    EXPECT_TRUE(error.Text().starts_with("The game's patch archive could not be backed up"));
    const auto before = test::Snapshot(folder_.Utf8());
    EXPECT_EQ(before.size(), 3U) << "the mods folder made, beside the two archives, and no more";
    list_.items = {mod_};
    list_.selected = 0;
    EXPECT_EQ(test::ErrorOf([&] { Add(mod_); }).Text(), error.Text());
    EXPECT_EQ(test::ErrorOf([&] { main_.OnSwitch(); }).Text(), error.Text());
    EXPECT_EQ(dialog_.shown, 0);
    EXPECT_EQ(test::Snapshot(folder_.Utf8()), before);
    EXPECT_EQ(settings_.Get("settings", "mods"), std::nullopt);
    steps_.fault = {};
    Add(mod_);
    EXPECT_EQ(test::ReadFile(backup_), "the game's own archive");
    EXPECT_EQ(list_.items, (Names{backup_, mod_}));
}

TEST_F(MainWindowTest, ARunningGameThatHoldsItsArchiveIsWaitedForOrLeftAlone) {
    main_.Load();
    Add(mod_);
    list_.selected = 1;
    const auto before = test::Snapshot(folder_.Utf8());
    // The game holds its archive, sharing nothing; the user's first answer is Cancel.
    HANDLE game =
        CreateFileW(ApiPath(live_).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    main_.OnSwitch();
    CloseHandle(game);
    EXPECT_EQ(test::Snapshot(folder_.Utf8()), before);
    game = CreateFileW(ApiPath(live_).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    boxes_.retry = [&] { return CloseHandle(game) != FALSE; };  // the game is closed
    main_.OnSwitch();
    EXPECT_EQ(test::ReadFile(live_), modBytes_);
    EXPECT_EQ(boxes_.shown.size(), 2U);
}

TEST_F(MainWindowTest, AnArchiveThatMatchesNoModIsKeptAndRegisteredBeforeItIsReplaced) {
    main_.Load();
    Add(mod_);
    Add(folder_ / "MOD-Ä.zpk");  // the same file
    test::WriteFile(live_, "a game update");
    list_.selected = 1;
    main_.OnSwitch();
    EXPECT_THAT(system_.LocalDate(), testing::MatchesRegex(R"(\d\d\d\d-\d\d-\d\d)"));
    const std::string kept = paths_.ModsPath + "\\patch_vx-" + system_.LocalDate() + ".zpk";
    EXPECT_EQ(test::ReadFile(kept), "a game update");
    EXPECT_EQ(test::ReadFile(live_), modBytes_);
    EXPECT_EQ(list_.items, (Names{backup_, mod_, kept}));
    EXPECT_EQ(boxes_.shown.size(), 1U);
}

}  // namespace
}  // namespace vx::windows
