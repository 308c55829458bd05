// Real widgets without a display: how the Qt binding lays its windows out and hands what the
// user does to the window logic.

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <span>
#include <stdexcept>
#include <thread>

#include "app/Layout.h"
#include "platform/posix/Support.h"
#include "platform/qt/ControlAdapters.h"
#include "platform/qt/CopyWatcher.h"
#include "platform/qt/GameFolderWindow.h"
#include "platform/qt/MainWindow.h"
#include "platform/qt/MessageBoxes.h"
#include "platform/qt/Program.h"
#include "platform/qt/ProgressWindow.h"

namespace vx::test {
namespace {

using namespace std::chrono_literals;

// One QApplication for the test program (offscreen: the test's environment says so).
struct QtApplication : ::testing::Environment {
    void SetUp() override { app = std::make_unique<QApplication>(argc, argv); }
    void TearDown() override { app.reset(); }

    char name[11] = "vx_qt_test";
    char* argv[2] = {name, nullptr};
    int argc = 1;
    std::unique_ptr<QApplication> app;
};

[[maybe_unused]] const auto* const kQtApplication =
    ::testing::AddGlobalTestEnvironment(new QtApplication);

// Records as the fake does, and runs `whileShown` while it is up, as the user's other actions
// go on while a real one waits.
struct OpenFileDialogWithUser final : FakeOpenFileDialog {
    std::function<void()> whileShown = [] {};
    void ShowOpen() override {
        FakeOpenFileDialog::ShowOpen();
        whileShown();
    }
};

// Real widgets over the real store in <temp>/config and a game installed in <temp>/game
// (vexmoor.exe, patch_vx.zpk and the mods folder), with the boxes and the open-file dialog
// recorded.
struct QtWindowTest : ::testing::Test {
    QtWindowTest() {
        std::filesystem::create_directories(game + "/mods");
        WriteFile(game + "/vexmoor.exe", "MZ");
        WriteFile(game + "/patch_vx.zpk", "live archive as installed");
    }

    TempFolder temp;
    std::string game = temp / "game";
    LinuxServices services{temp.Path() / "config"};
    Startup startup{services};
    FakeMessageBoxes boxes;
    OpenFileDialogWithUser dialog;
    int ended = 0;  // calls of the windows' end-of-program action
};

// The named control of `window`.
template <typename Widget>
Widget& Child(const QWidget& window, const char* name) {
    auto* child = window.findChild<Widget*>(QString::fromLatin1(name));
    if (child == nullptr) {
        throw std::logic_error(std::string("no control ") + name);
    }
    return *child;
}

// The visible top-level window of type W, or nullptr.
template <typename W>
W* VisibleWindow() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* window = dynamic_cast<W*>(widget); window != nullptr && window->isVisible()) {
            return window;
        }
    }
    return nullptr;
}

// The caption, the client size, which is the smallest, and every control with its caption where
// the layout puts it at the screen's DPI; and where Tab goes from the control the window focuses
// first, pressed once per focusable control.
void ExpectWindow(QWidget& window, std::string_view caption, layout::Size client,
                  std::span<const layout::Control> controls, const std::vector<QString>& tabWalk) {
    EXPECT_EQ(window.windowTitle().toStdString(), caption);
    const int dpi = static_cast<int>(std::lround(window.screen()->logicalDotsPerInch()));
    const auto px = [dpi](int twips) { return layout::TwipsToPixels(twips, dpi); };
    EXPECT_EQ(window.size(), QSize(px(client.width), px(client.height)));
    EXPECT_EQ(window.minimumSize(), window.size()) << "the laid-out size is the smallest";
    for (const layout::Control& control : controls) {
        const auto& widget = Child<QWidget>(window, std::string(control.name).c_str());
        EXPECT_EQ(widget.geometry(),
                  QRect(px(control.left), px(control.top), px(control.width), px(control.height)))
            << control.name;
        // The caption whole in the font it is shown in; a frame takes a couple of pixels on
        // each side of a button's text.
        const int frame = widget.inherits("QLabel") ? 0 : 4;
        EXPECT_LE(widget.fontMetrics().height(), widget.height() - frame) << control.name;
        if (!control.caption.empty()) {  // a text box's text comes with the load
            const QString text = widget.property("text").toString();
            EXPECT_EQ(text.toStdString(), control.caption);
            EXPECT_LE(widget.fontMetrics().horizontalAdvance(text), widget.width() - frame)
                << control.name;
        }
    }

    window.show();
    std::vector<QString> walk;
    for (std::size_t i = 0; i < tabWalk.size() && window.focusWidget() != nullptr; ++i) {
        QTest::keyClick(window.focusWidget(), Qt::Key_Tab);
        walk.push_back(window.focusWidget()->objectName());
    }
    EXPECT_EQ(walk, tabWalk);
}

TEST(QtMessageBoxes, AreOneOkButtonWithoutIconShowingTheTextAsItIs) {
    const auto box =
        qt::MakeMessageBox("File not found /m/<b>a&b</b>.zpk", "Could not find file", nullptr);
    EXPECT_EQ(box->windowTitle(), "Could not find file");
    EXPECT_EQ(box->text(), "File not found /m/<b>a&b</b>.zpk");
    EXPECT_EQ(box->textFormat(), Qt::PlainText);
    EXPECT_EQ(box->icon(), QMessageBox::NoIcon);
    EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
}

constexpr std::int64_t kGiB = std::int64_t{1} << 30;

// A copy of 1 GiB that goes on until it is cancelled, then fails as a cancelled one does.
void CopyUntilCancelled(CopyProgress& progress) {
    for (std::int64_t done = 0; progress.Copied(done, kGiB); done += kGiB / 1024) {
        std::this_thread::sleep_for(2ms);
    }
    throw CopyCancelled();
}

// Stopped by Cancel, and then by the user closing the main window, which closes once the
// command that copied has ended.
TEST_F(QtWindowTest, ALongCopyShowsItsWayOverDisabledControlsUntilCancelled) {
    startup.SetGamePath(game);  // the mods folder made by the set-up
    qt::MainWindow window(startup.Paths(), services, boxes, dialog, [this] { ++ended; });
    qt::QtCopyWatcher watcher(window);
    window.show();
    for (const bool closeMain : {false, true}) {
        CopyJob job(CopyUntilCancelled);
        QTimer::singleShot(kProgressWindowDelay + 300ms, [&] {
            auto* progress = VisibleWindow<qt::ProgressWindow>();
            ASSERT_NE(progress, nullptr);
            ExpectWindow(*progress, layout::progress::kCaption, layout::progress::kClientSize,
                         layout::progress::kTabOrder, {"Cancel"});
            EXPECT_TRUE(Child<QLabel>(*progress, "FileName").text().startsWith("A mod with"));
            EXPECT_TRUE(Child<QLabel>(*progress, "Copied").text().endsWith(" of 1.0 GB"));
            for (const char* name : {"ModList", "Switch", "Add", "Remove"}) {
                EXPECT_FALSE(Child<QWidget>(window, name).isEnabled()) << name;
            }
            if (closeMain) {
                static_cast<void>(watcher.DeferClose());
            } else {
                Child<QPushButton>(*progress, "Cancel").click();
            }
        });
        watcher.Watch(job, "A mod with a name far too long to fit in a window this small.zpk");
        EXPECT_THROW(job.Finish(), CopyCancelled);
        EXPECT_EQ(VisibleWindow<qt::ProgressWindow>(), nullptr);
        EXPECT_TRUE(Child<QPushButton>(window, "Switch").isEnabled());
        EXPECT_EQ(ended, 0) << "closed before the command ended";
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(ended, 1);
}

// The main window opens even when its load fails, after the box.
TEST_F(QtWindowTest, ProgramsGameFolderWindowAsksUntilItHandsOverAndClosingTheMainWindowEnds) {
    qt::Program program{startup, services, boxes, dialog, [this] { ++ended; }};
    program.Start(startup.Run());
    auto* dir = VisibleWindow<qt::GameFolderWindow>();
    ASSERT_NE(dir, nullptr);
    ExpectWindow(*dir, layout::gamefolder::kCaption, layout::gamefolder::kClientSize,
                 layout::gamefolder::kTabOrder, {"Ok", "Browse", "FolderText"});
    auto& folderText = Child<QLineEdit>(*dir, "FolderText");
    folderText.setText(QString::fromStdString(game));
    QTest::keyClick(&folderText, Qt::Key_Return);
    EXPECT_TRUE(dir->isVisible()) << "Enter pressed Ok";
    Child<QPushButton>(*dir, "Ok").click();
    EXPECT_FALSE(dir->isVisible());
    auto* main = VisibleWindow<qt::MainWindow>();
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(Child<QListWidget>(*main, "ModList").count(), 1) << "loaded before it was shown";
    EXPECT_EQ(ended, 0);
    main->close();
    EXPECT_EQ(ended, 1);
    startup.SetGamePath(game + "/gone");  // the first-run backup cannot be made
    qt::Program another{startup, services, boxes, dialog, [] {}};
    another.Start(FirstWindow::Main);
    EXPECT_EQ(boxes.shown.size(), 1U);
    EXPECT_NE(VisibleWindow<qt::MainWindow>(), nullptr);
}

// A name written in Latin-1 is no UTF-8: the list shows it as best it can and
// keeps its bytes.
TEST_F(QtWindowTest, MainWindowIsLaidOutInTwipsAndSwitchesToAnyPathByItsBytes) {
    startup.SetGamePath(game);  // as the game-folder window leaves it
    qt::MainWindow window(startup.Paths(), services, boxes, dialog, [this] { ++ended; });
    auto& modList = Child<QListWidget>(window, "ModList");
    const auto click = [&](const char* button) { Child<QPushButton>(window, button).click(); };
    const auto clickItem = [&](int row, Qt::KeyboardModifiers modifiers) {
        QTest::mouseClick(modList.viewport(), Qt::LeftButton, modifiers,
                          modList.visualItemRect(modList.item(row)).center());
    };
    ExpectWindow(window, layout::mainwindow::kCaption, layout::mainwindow::kClientSize,
                 layout::mainwindow::kTabOrder, {"Switch", "Add", "Remove", "ModList"});
    const auto& currentMod = Child<QLabel>(window, "CurrentMod");
    window.Open();
    const qt::QtListBox adapter{modList};
    const std::string mod = temp / "caf\xe9 & <b>.zpk";
    WriteFile(mod, "a mod archive, longer than the live one");
    dialog.answers = {mod};
    click("Add");
    ASSERT_EQ(modList.count(), 2);
    EXPECT_EQ(adapter.Item(1), mod);
    EXPECT_EQ(modList.item(1)->text(), QFile::decodeName(QByteArray::fromStdString(mod)));

    modList.setFocus(Qt::TabFocusReason);
    EXPECT_EQ(adapter.SelectedIndex(), -1) << "tabbing into the list picks no archive";
    clickItem(1, {});
    clickItem(1, Qt::ControlModifier);
    EXPECT_EQ(adapter.SelectedIndex(), -1) << "Ctrl took the selection away, not the cursor";
    clickItem(0, {});
    clickItem(1, Qt::ControlModifier);
    EXPECT_EQ(modList.selectedItems().size(), 1);
    click("Switch");
    EXPECT_EQ(ReadFile(game + "/patch_vx.zpk"), ReadFile(mod));
    EXPECT_EQ(currentMod.text(), QFile::decodeName("caf\xe9 & <b>.zpk"));
    EXPECT_EQ(currentMod.textFormat(), Qt::PlainText);

    // Only local paths count; a folder among them is named in a box.
    const std::string dropped = temp / "dropped.zpk";
    WriteFile(dropped, "a dropped mod");
    QMimeData data;
    data.setUrls({QUrl(QStringLiteral("https://example.com/remote.zpk")),
                  QUrl::fromLocalFile(QFile::decodeName(dropped.c_str())),
                  QUrl::fromLocalFile(QString::fromStdString(game))});
    // Shift proposes a move, which would let the source delete the archive: taken
    // as a copy, and not at all while a command (here Add A Mod's dialog) is
    // under way.
    constexpr Qt::DropActions kOffered = Qt::CopyAction | Qt::MoveAction;
    QDragEnterEvent enter({5, 5}, kOffered, &data, Qt::LeftButton, Qt::ShiftModifier);
    QDragMoveEvent move({5, 5}, kOffered, &data, Qt::LeftButton, Qt::ShiftModifier);
    QDropEvent drop(QPointF(5, 5), kOffered, &data, Qt::LeftButton, Qt::ShiftModifier);
    // A drag taken before the command begins.
    QApplication::sendEvent(&window, &enter);
    dialog.whileShown = [&] {
        for (QDropEvent* event : std::initializer_list<QDropEvent*>{&move, &drop, &enter}) {
            event->setAccepted(true);  // as Qt delivers a move after a taken enter
            QApplication::sendEvent(&window, event);
            EXPECT_FALSE(event->isAccepted()) << event->type();
        }
    };
    click("Add");
    for (QDropEvent* event : std::initializer_list<QDropEvent*>{&enter, &move, &drop}) {
        QApplication::sendEvent(&window, event);
        EXPECT_TRUE(event->isAccepted());
        EXPECT_EQ(event->dropAction(), Qt::CopyAction);
    }
    ASSERT_EQ(modList.count(), 3);
    EXPECT_EQ(adapter.Item(2), dropped);
    EXPECT_EQ(boxes.shown.size(), 1U);
}

}  // namespace
}  // namespace vx::test
