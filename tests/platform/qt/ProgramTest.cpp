#include "platform/qt/Program.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <filesystem>

#include "QtTestSupport.h"
#include "platform/qt/VXDirWindow.h"
#include "platform/qt/VXModMainWindow.h"

namespace vx::test {
namespace {

class ProgramTest : public QtWindowTest {
  protected:
    qt::Program program{startup, platform, boxes, dialog, [this] { ++ended; }};
};

TEST_F(ProgramTest, GameFolderWindowHandsOverAndClosingTheMainWindowEnds) {
    program.Open(startup.Run());
    auto* gameFolder = VisibleWindow<qt::VXDirWindow>();
    ASSERT_NE(gameFolder, nullptr);
    Child<QLineEdit>(*gameFolder, "Text1").setText(QString::fromStdString(game));
    Child<QPushButton>(*gameFolder, "Command1").click();

    EXPECT_FALSE(gameFolder->isVisible());
    EXPECT_TRUE(std::filesystem::is_directory(game + "/mods"));
    auto* main = VisibleWindow<qt::VXModMainWindow>();
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(Child<QListWidget>(*main, "List1").count(), 1) << "loaded before it was shown";
    EXPECT_EQ(ended, 0);
    main->close();
    EXPECT_EQ(ended, 1);
}

TEST_F(ProgramTest, MainWindowOpensEvenWhenItsLoadFails) {
    startup.SetGamePath(game);  // no mods folder: the first-run backup cannot be made
    program.Open(FirstWindow::VXModMain);
    EXPECT_FALSE(boxes.shown.empty());
    EXPECT_NE(VisibleWindow<qt::VXModMainWindow>(), nullptr);
}

}  // namespace
}  // namespace vx::test
