// The main window's commands over the real services, where only Windows shows them: a running
// game that holds its archive, a mod added again under other letters, and today's date in the
// name of a kept archive.
#include "app/MainWindow.h"
#include "fakes/FakeControls.h"
#include "platform/windows/ServicesTest.h"

namespace vx::windows {
namespace {

TEST_F(ServicesTest, ARunningGameThatHoldsItsArchiveIsWaitedForOrLeftAlone) {
    const SharedPaths paths{folder_.Utf8(), folder_ / "mods", live_};
    test::FakeLabel label;
    test::FakeListBox list;
    test::FakeOpenFileDialog dialog;
    test::FakeMessageBoxes boxes;
    test::FakeCopyWatcher copies;
    vx::MainWindow main{paths, services_, boxes, {label, list, dialog, copies}};
    main.Load();
    dialog.answers = {mod_, folder_ / "MOD-Ä.zpk"};  // the same file
    main.OnAdd();
    main.OnAdd();
    EXPECT_EQ(list.items, (Names{folder_ / "mods\\NORMAL_patch_vx.zpk", mod_}));
    list.selected = 1;
    const auto before = test::Snapshot(folder_.Utf8());
    // The game holds its archive, sharing nothing; the user's first answer is Cancel, the
    // second Retry once the game is closed.
    HANDLE game =
        CreateFileW(ApiPath(live_).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    main.OnSwitch();
    CloseHandle(game);
    EXPECT_EQ(test::Snapshot(folder_.Utf8()), before);
    game = CreateFileW(ApiPath(live_).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    boxes.retry = [&] { return CloseHandle(game) != FALSE; };
    main.OnSwitch();
    EXPECT_EQ(test::ReadFile(live_), modBytes_);
    EXPECT_EQ(boxes.shown.size(), 2U);
    EXPECT_THAT(system_.LocalDate(), testing::MatchesRegex(R"(\d\d\d\d-\d\d-\d\d)"));
}

}  // namespace
}  // namespace vx::windows
