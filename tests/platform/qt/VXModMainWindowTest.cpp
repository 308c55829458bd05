#include "platform/qt/VXModMainWindow.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <filesystem>

#include "QtTestSupport.h"
#include "platform/qt/ControlAdapters.h"

namespace vx::test {
namespace {

class VXModMainWindowTest : public QtWindowTest {
  protected:
    qt::VXModMainWindow window{Accepted(), platform, boxes, dialog, [this] { ++ended; }};
    std::string backup = game + "/mods/NORMAL_patch_vx.zpk";
    QLabel& label2 = Child<QLabel>(window, "Label2");
    QListWidget& list1 = Child<QListWidget>(window, "List1");
    QPushButton& swtich = Child<QPushButton>(window, "Swtich");
    qt::QtListBox adapter{list1};

    std::vector<std::string> Items() const {
        std::vector<std::string> items;
        items.reserve(static_cast<std::size_t>(adapter.ItemCount()));
        for (int i = 0; i < adapter.ItemCount(); ++i) {
            items.push_back(adapter.Item(i));
        }
        return items;
    }
    void ClickItem(int row, Qt::KeyboardModifiers modifiers = {}) {
        window.show();
        QTest::mouseClick(list1.viewport(), Qt::LeftButton, modifiers,
                          list1.visualItemRect(list1.item(row)).center());
    }
    std::string AddMod(const std::string& name, const std::string& content) {
        std::string mod = temp / name;
        WriteFile(mod, content);
        dialog.answers.push_back(mod);
        Child<QPushButton>(window, "Command2").click();
        return mod;
    }
};

TEST_F(VXModMainWindowTest, IsLaidOutInTwipsAndLoadedBeforeItShows) {
    EXPECT_EQ(window.windowTitle(), "Vexmoor Patchkeeper");
    EXPECT_FALSE(window.windowIcon().isNull());
    const auto& label1 = Child<QLabel>(window, "Label1");
    EXPECT_EQ(label1.text(), "Current Mod");
    EXPECT_TRUE(label1.alignment() & Qt::AlignHCenter);
    EXPECT_TRUE(label2.alignment() & Qt::AlignHCenter);
    ExpectLaidOut(window, layout::vxmodmain::kClientSize, layout::vxmodmain::kTabOrder);
    if (ScreenDpi() == 96) {
        EXPECT_EQ(window.size(), QSize(314, 221));
        EXPECT_EQ(swtich.geometry(), QRect(80, 160, 145, 25));
    }

    EXPECT_EQ(Items(), std::vector<std::string>{backup});
    EXPECT_EQ(label2.text(), "NORMAL_patch_vx.zpk");
    EXPECT_EQ(dialog.flags, OpenFileDialog::kFileMustExist);

    EXPECT_EQ(TabWalk(window, list1, 4),
              (std::vector<QString>{"Swtich", "Command2", "Command1", "List1"}));
}

TEST_F(VXModMainWindowTest, ListKeepsInsertionOrderAndOneSelectionAtMost) {
    adapter.AddItem("/b/zeta.zpk");
    adapter.AddItem("/a/alpha.zpk");
    EXPECT_EQ(Items(), (std::vector<std::string>{backup, "/b/zeta.zpk", "/a/alpha.zpk"}));

    window.show();
    list1.setFocus(Qt::TabFocusReason);
    EXPECT_EQ(adapter.SelectedIndex(), -1) << "tabbing into the list picks no archive";
    ClickItem(1);
    ClickItem(2, Qt::ControlModifier);
    EXPECT_EQ(list1.selectedItems().size(), 1);
    EXPECT_EQ(adapter.SelectedIndex(), 2);
    ClickItem(2, Qt::ControlModifier);
    EXPECT_EQ(adapter.SelectedIndex(), -1);
}

TEST_F(VXModMainWindowTest, ButtonsReachTheirCommands) {
    swtich.click();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].second, "Select Something");

    const std::string mod = AddMod("Bigger.zpk", "a mod archive, longer than the live one");
    EXPECT_EQ(dialog.filter, "Vexmoor Patch (*.zpk) | *.zpk");
    EXPECT_EQ(Items(), (std::vector<std::string>{backup, mod}));

    ClickItem(1);
    swtich.click();
    EXPECT_EQ(ReadFile(patch), ReadFile(mod));
    EXPECT_EQ(label2.text(), "Bigger.zpk");

    ClickItem(0);
    Child<QPushButton>(window, "Command1").click();
    EXPECT_EQ(Items(), std::vector<std::string>{mod});
    EXPECT_EQ(boxes.shown.size(), 1u);
}

TEST_F(VXModMainWindowTest, AFailingCommandIsReportedAndTheWindowGoesOn) {
    const std::string mod = AddMod("gone.zpk", "soon gone");
    std::filesystem::remove(mod);
    ClickItem(1);
    swtich.click();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].second, "Vexmoor Patchkeeper");
    EXPECT_NE(boxes.shown[0].first.find(mod), std::string::npos) << boxes.shown[0].first;
    EXPECT_EQ(ReadFile(patch), "live archive as installed");
}

}  // namespace
}  // namespace vx::test
