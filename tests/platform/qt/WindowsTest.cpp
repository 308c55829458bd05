#include <QFile>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QToolTip>
#include <filesystem>

#include "platform/qt/ControlAdapters.h"
#include "platform/qt/Program.h"
#include "platform/qt/QtTestSupport.h"
#include "platform/qt/VXDirWindow.h"
#include "platform/qt/VXModMainWindow.h"

namespace vx::test {
namespace {

class ProgramTest : public QtWindowTest {
  protected:
    qt::Program program{startup, platform, boxes, dialog, [this] { ++ended; }};
};

TEST_F(ProgramTest, GameFolderWindowAsksUntilItHandsOverAndClosingTheMainWindowEnds) {
    program.Start(startup.Run());
    auto* dir = VisibleWindow<qt::VXDirWindow>();
    ASSERT_NE(dir, nullptr);
    ExpectWindow(*dir, layout::vxdir::kCaption, layout::vxdir::kClientSize,
                 layout::vxdir::kTabOrder, {"Command1", "Command2", "Text1"});
    EXPECT_EQ(dir->maximumSize(), dir->minimumSize()) << "fixed size";
    auto& text1 = Child<QLineEdit>(*dir, "Text1");
    EXPECT_EQ(text1.text().toStdString(), platform.SuggestedGameFolder());

    text1.setText(QString::fromStdString(temp.Path().string()));
    QTest::keyClick(&text1, Qt::Key_Return);
    EXPECT_TRUE(boxes.shown.empty()) << "Enter pressed Ok";
    Child<QPushButton>(*dir, "Command1").click();
    EXPECT_EQ(boxes.shown.size(), 1U);

    text1.setText(QString::fromStdString(game));
    Child<QPushButton>(*dir, "Command1").click();
    EXPECT_FALSE(dir->isVisible());
    auto* main = VisibleWindow<qt::VXModMainWindow>();
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(Child<QListWidget>(*main, "List1").count(), 1) << "loaded before it was shown";
    EXPECT_EQ(ended, 0);
    main->close();
    EXPECT_EQ(ended, 1);
}

TEST_F(ProgramTest, MainWindowOpensEvenWhenItsLoadFails) {
    startup.SetGamePath(game + "/gone");  // the first-run backup cannot be made
    program.Start(FirstWindow::VXModMain);
    EXPECT_EQ(boxes.shown.size(), 1U);
    EXPECT_NE(VisibleWindow<qt::VXModMainWindow>(), nullptr);
}

class VXModMainWindowTest : public QtWindowTest {
  protected:
    // The game folder accepted, its mods folder made, as the game-folder window leaves them.
    bool modsFolderMade = std::filesystem::create_directory(game + "/mods");
    qt::VXModMainWindow window{(startup.SetGamePath(game), startup.Paths()), platform, boxes,
                               dialog, [this] { ++ended; }};
    QLabel& label2 = Child<QLabel>(window, "Label2");
    QListWidget& list1 = Child<QListWidget>(window, "List1");
    qt::QtListBox adapter{list1};

    void ClickItem(int row, Qt::KeyboardModifiers modifiers = {}) {
        QTest::mouseClick(list1.viewport(), Qt::LeftButton, modifiers,
                          list1.visualItemRect(list1.item(row)).center());
    }
    void Click(const char* button) { Child<QPushButton>(window, button).click(); }
};

// A name written in Latin-1 is no UTF-8: the list shows it as best it can and keeps its bytes.
TEST_F(VXModMainWindowTest, IsLaidOutInTwipsAndSwitchesToAnyPathByItsBytes) {
    ExpectWindow(window, layout::vxmodmain::kCaption, layout::vxmodmain::kClientSize,
                 layout::vxmodmain::kTabOrder, {"Swtich", "Command2", "Command1", "List1"});
    EXPECT_TRUE(Child<QLabel>(window, "Label1").alignment() & Qt::AlignHCenter);
    EXPECT_TRUE(label2.alignment() & Qt::AlignHCenter);
    window.Open();
    Click("Swtich");
    EXPECT_EQ(boxes.shown.at(0).second, "Select Something");
    const std::string mod = temp / "caf\xe9 & <b>.zpk";
    WriteFile(mod, "a mod archive, longer than the live one");
    dialog.answers = {mod};
    Click("Command2");
    ASSERT_EQ(adapter.ItemCount(), 2);
    EXPECT_EQ(adapter.Item(1), mod);
    EXPECT_EQ(list1.item(1)->text(), QFile::decodeName(QByteArray::fromStdString(mod)));

    list1.setFocus(Qt::TabFocusReason);
    EXPECT_EQ(adapter.SelectedIndex(), -1) << "tabbing into the list picks no archive";
    ClickItem(0);
    ClickItem(1, Qt::ControlModifier);
    EXPECT_EQ(list1.selectedItems().size(), 1);
    Click("Swtich");
    EXPECT_EQ(ReadFile(game + "/patch_vx.zpk"), ReadFile(mod));
    EXPECT_EQ(label2.text(), QFile::decodeName("caf\xe9 & <b>.zpk"));
    EXPECT_EQ(label2.textFormat(), Qt::PlainText);

    ClickItem(0);
    Click("Command1");
    EXPECT_EQ(adapter.ItemCount(), 1);

    // A failure ends in the error box, and the window goes on.
    std::filesystem::remove(mod);
    ClickItem(0);
    Click("Swtich");
    EXPECT_EQ(boxes.shown.back().second, "Vexmoor Patchkeeper");
    EXPECT_EQ(boxes.shown.size(), 2U);
}

TEST_F(VXModMainWindowTest, GrowsKeepingEveryControlInsideAndAddsDroppedFiles) {
    window.Open();
    const QSize classic = window.size();
    const QRect list = list1.geometry();
    const QRect swtich = Child<QPushButton>(window, "Swtich").geometry();
    const int labelWidth = label2.width();
    window.resize(classic + QSize(300, 200));
    QCoreApplication::processEvents();
    EXPECT_EQ(list1.geometry(), list.adjusted(0, 0, 300, 200));
    EXPECT_EQ(Child<QPushButton>(window, "Swtich").geometry(), swtich.translated(150, 200));
    EXPECT_EQ(label2.width(), labelWidth + 300);
    for (const QWidget* child : window.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        EXPECT_TRUE(window.rect().contains(child->geometry())) << child->objectName().toStdString();
    }

    // Only local paths count; a folder among them is named in a box.
    const std::string mod = temp / "dropped.zpk";
    WriteFile(mod, "a dropped mod");
    QMimeData data;
    data.setUrls({QUrl(QStringLiteral("https://example.com/remote.zpk"))});
    QDragEnterEvent remote({5, 5}, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &remote);
    EXPECT_FALSE(remote.isAccepted());
    data.setUrls({QUrl::fromLocalFile(QFile::decodeName(mod.c_str())),
                  QUrl::fromLocalFile(QString::fromStdString(game))});
    // Shift proposes a move, which would let the source delete the archive: taken as a copy,
    // and not at all while a command (here Add A Mod's dialog) is under way.
    constexpr Qt::DropActions kOffered = Qt::CopyAction | Qt::MoveAction;
    QDragEnterEvent enter({5, 5}, kOffered, &data, Qt::LeftButton, Qt::ShiftModifier);
    QDragMoveEvent move({5, 5}, kOffered, &data, Qt::LeftButton, Qt::ShiftModifier);
    QDropEvent drop(QPointF(5, 5), kOffered, &data, Qt::LeftButton, Qt::ShiftModifier);
    QApplication::sendEvent(&window, &enter);  // a drag taken before the command begins
    dialog.whileShown = [&] {
        for (QDropEvent* event : std::initializer_list<QDropEvent*>{&move, &drop, &enter}) {
            event->setAccepted(true);  // as Qt delivers a move after a taken enter
            QApplication::sendEvent(&window, event);
            EXPECT_FALSE(event->isAccepted()) << event->type();
        }
    };
    Click("Command2");
    for (QDropEvent* event : std::initializer_list<QDropEvent*>{&enter, &move, &drop}) {
        QApplication::sendEvent(&window, event);
        EXPECT_TRUE(event->isAccepted());
        EXPECT_EQ(event->dropAction(), Qt::CopyAction);
    }
    ASSERT_EQ(adapter.ItemCount(), 2);
    EXPECT_EQ(adapter.Item(1), mod);
    const QPoint row = list1.visualItemRect(list1.item(1)).center();
    QHelpEvent help(QEvent::ToolTip, row, list1.viewport()->mapToGlobal(row));
    QApplication::sendEvent(list1.viewport(), &help);
    EXPECT_EQ(QToolTip::text(), QFile::decodeName(mod.c_str())) << "the full path";
    EXPECT_EQ(boxes.shown.size(), 1U);
}

}  // namespace
}  // namespace vx::test
