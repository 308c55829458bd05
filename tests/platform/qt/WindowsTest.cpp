#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <filesystem>

#include "QtTestSupport.h"
#include "platform/qt/ControlAdapters.h"
#include "platform/qt/Program.h"
#include "platform/qt/VXDirWindow.h"
#include "platform/qt/VXModMainWindow.h"

namespace vx::test {
namespace {

struct CountingOpener : MainWindowOpener {
    int opened = 0;
    void OpenMainWindow() override { ++opened; }
};

class VXDirWindowTest : public QtWindowTest {
  protected:
    CountingOpener opener;
    qt::VXDirWindow window{startup, platform, boxes, opener, [this] { ++ended; }};
    QLineEdit& text1 = Child<QLineEdit>(window, "Text1");
};

TEST_F(VXDirWindowTest, IsLaidOutInTwipsAndEnterDoesNotPressOk) {
    ExpectWindow(window, layout::vxdir::kCaption, layout::vxdir::kClientSize,
                 layout::vxdir::kTabOrder, "Text1", {"Command1", "Text1"});
    window.Open();
    EXPECT_EQ(text1.text().toStdString(), platform.SuggestedGameFolder());

    text1.setText(QString::fromStdString(temp.Path().string()));
    QTest::keyClick(&text1, Qt::Key_Return);
    EXPECT_TRUE(boxes.shown.empty()) << "Enter pressed Ok";
    Child<QPushButton>(window, "Command1").click();
    EXPECT_EQ(boxes.shown.size(), 1U);
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(opener.opened, 0);
    EXPECT_EQ(ended, 0);
    window.close();
    EXPECT_EQ(ended, 1) << "closing it ends the program";
}

class VXModMainWindowTest : public QtWindowTest {
  protected:
    VXModMainWindowTest() {
        std::filesystem::create_directory(game + "/mods");
        startup.SetGamePath(game);
    }
    qt::VXModMainWindow window{startup.Paths(), platform, boxes, dialog, [this] { ++ended; }};
    std::string backup = game + "/mods/NORMAL_patch_vx.zpk";
    QLabel& label2 = Child<QLabel>(window, "Label2");
    QListWidget& list1 = Child<QListWidget>(window, "List1");
    qt::QtListBox adapter{list1};

    std::vector<std::string> Items() const {
        std::vector<std::string> items;
        for (int i = 0; i < adapter.ItemCount(); ++i) {
            items.push_back(adapter.Item(i));
        }
        return items;
    }
    void ClickItem(int row, Qt::KeyboardModifiers modifiers = {}) {
        QTest::mouseClick(list1.viewport(), Qt::LeftButton, modifiers,
                          list1.visualItemRect(list1.item(row)).center());
    }
    void Click(const char* button) { Child<QPushButton>(window, button).click(); }
};

TEST_F(VXModMainWindowTest, IsLaidOutInTwipsAndLoadsWhenFirstOpened) {
    ExpectWindow(window, layout::vxmodmain::kCaption, layout::vxmodmain::kClientSize,
                 layout::vxmodmain::kTabOrder, "List1",
                 {"Swtich", "Command2", "Command1", "List1"});
    EXPECT_TRUE(Child<QLabel>(window, "Label1").alignment() & Qt::AlignHCenter);
    EXPECT_TRUE(label2.alignment() & Qt::AlignHCenter);
    EXPECT_EQ(adapter.ItemCount(), 0);
    window.Open();
    window.Open();
    EXPECT_EQ(Items(), std::vector<std::string>{backup});
    EXPECT_EQ(label2.text(), "NORMAL_patch_vx.zpk");
}

// A name written in Latin-1 is no UTF-8: the list shows it as best it can and keeps its bytes.
TEST_F(VXModMainWindowTest, SwitchesToAnyPathByItsBytesAndOneSelectionAtMost) {
    window.Open();
    const std::string mod = temp / "caf\xe9 & <b>.zpk";
    WriteFile(mod, "a mod archive, longer than the live one");
    dialog.answers = {mod};
    Click("Command2");
    ASSERT_EQ(Items(), (std::vector<std::string>{backup, mod}));
    EXPECT_EQ(list1.item(1)->text(), QFile::decodeName(QByteArray::fromStdString(mod)));

    list1.setFocus(Qt::TabFocusReason);
    EXPECT_EQ(adapter.SelectedIndex(), -1) << "tabbing into the list picks no archive";
    ClickItem(0);
    ClickItem(1, Qt::ControlModifier);
    EXPECT_EQ(list1.selectedItems().size(), 1);
    EXPECT_EQ(adapter.SelectedIndex(), 1);
    Click("Swtich");
    EXPECT_EQ(ReadFile(patch), ReadFile(mod));
    EXPECT_EQ(label2.text(), QFile::decodeName("caf\xe9 & <b>.zpk"));
    EXPECT_EQ(label2.textFormat(), Qt::PlainText);

    ClickItem(0);
    Click("Command1");
    EXPECT_EQ(Items(), std::vector<std::string>{mod});
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(VXModMainWindowTest, AFailingCommandIsReportedAndTheWindowGoesOn) {
    window.Open();
    Click("Swtich");
    ClickItem(0);
    std::filesystem::remove(backup);
    Click("Swtich");
    ASSERT_EQ(boxes.shown.size(), 2U);
    EXPECT_EQ(boxes.shown[0].second, "Select Something");
    EXPECT_EQ(boxes.shown[1].second, "Vexmoor Patchkeeper");
    EXPECT_NE(boxes.shown[1].first.find(backup), std::string::npos) << boxes.shown[1].first;
    EXPECT_EQ(ReadFile(patch), "live archive as installed");
    EXPECT_TRUE(window.isVisible());
}

class ProgramTest : public QtWindowTest {
  protected:
    qt::Program program{startup, platform, boxes, dialog, [this] { ++ended; }};
};

TEST_F(ProgramTest, GameFolderWindowHandsOverAndClosingTheMainWindowEnds) {
    program.Start(startup.Run());
    auto* gameFolder = VisibleWindow<qt::VXDirWindow>();
    ASSERT_NE(gameFolder, nullptr);
    Child<QLineEdit>(*gameFolder, "Text1").setText(QString::fromStdString(game));
    Child<QPushButton>(*gameFolder, "Command1").click();

    EXPECT_FALSE(gameFolder->isVisible());
    auto* main = VisibleWindow<qt::VXModMainWindow>();
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(Child<QListWidget>(*main, "List1").count(), 1) << "loaded before it was shown";
    EXPECT_EQ(ended, 0);
    main->close();
    EXPECT_EQ(ended, 1);
}

TEST_F(ProgramTest, MainWindowOpensEvenWhenItsLoadFails) {
    startup.SetGamePath(game);  // no mods folder: the first-run backup cannot be made
    program.Start(FirstWindow::VXModMain);
    EXPECT_EQ(boxes.shown.size(), 1U);
    EXPECT_NE(VisibleWindow<qt::VXModMainWindow>(), nullptr);
}

}  // namespace
}  // namespace vx::test
