#include "platform/qt/VXDirWindow.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "QtTestSupport.h"

namespace vx::test {
namespace {

struct CountingOpener : MainWindowOpener {
    int opened = 0;
    void OpenMainWindow() override { ++opened; }
};

// The hand-over to the main window is tried with the whole program, in ProgramTest.

class VXDirWindowTest : public QtWindowTest {
  protected:
    CountingOpener opener;
    qt::VXDirWindow window{startup, platform, boxes, opener, [this] { ++ended; }};
    QLineEdit& text1 = Child<QLineEdit>(window, "Text1");
    QPushButton& command1 = Child<QPushButton>(window, "Command1");
};

TEST_F(VXDirWindowTest, IsLaidOutInTwipsAndTabGoesBetweenTextAndOk) {
    EXPECT_EQ(window.windowTitle(), "Vexmoor Patchkeeper - VX Directory");
    EXPECT_TRUE(window.windowIcon().availableSizes().contains(QSize(16, 16)));
    EXPECT_EQ(Child<QLabel>(window, "Label1").text(), "VX Directory");
    EXPECT_EQ(command1.text(), "Ok");
    EXPECT_EQ(text1.text().toStdString(), platform.SuggestedGameFolder());
    ExpectLaidOut(window, layout::vxdir::kClientSize, layout::vxdir::kTabOrder);
    if (ScreenDpi() == 96) {
        EXPECT_EQ(window.size(), QSize(312, 62));
        EXPECT_EQ(command1.geometry(), QRect(104, 40, 97, 17));
    }
    EXPECT_EQ(TabWalk(window, text1, 2), (std::vector<QString>{"Command1", "Text1"}));
}

TEST_F(VXDirWindowTest, OkRefusesAFolderWithoutTheGameAndEnterDoesNotPressIt) {
    const QString typed = QString::fromStdString(temp.Path().string());
    text1.setText(typed);
    window.show();
    QTest::keyClick(&text1, Qt::Key_Return);
    EXPECT_TRUE(boxes.shown.empty()) << "Enter pressed Ok";

    command1.click();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].first, "Path Invalid: " + typed.toStdString());
    EXPECT_EQ(boxes.shown[0].second, "Invalid Path");
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(text1.text(), typed);
    EXPECT_EQ(opener.opened, 0);
    EXPECT_EQ(ended, 0);
    window.close();
    EXPECT_EQ(ended, 1) << "closing it ends the program";
}

}  // namespace
}  // namespace vx::test
