#include "QtTestSupport.h"

#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <cmath>
#include <filesystem>
#include <memory>

namespace vx::test {
namespace {

// One QApplication for the test program, offscreen unless the caller chose a platform, with
// Qt's own settings (the file dialog's history) kept out of the user's home.
class QtApplication : public ::testing::Environment {
  public:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(qtConfig_.Path().string()));
        app_ = std::make_unique<QApplication>(argc_, argv_);
    }
    void TearDown() override { app_.reset(); }

  private:
    TempFolder qtConfig_;
    char name_[11] = "vx_qt_test";
    char* argv_[2] = {name_, nullptr};
    int argc_ = 1;
    std::unique_ptr<QApplication> app_;
};

[[maybe_unused]] const auto* const kQtApplication =
    ::testing::AddGlobalTestEnvironment(new QtApplication);

}  // namespace

QtWindowTest::QtWindowTest() {
    std::filesystem::create_directory(game);
    WriteFile(game + "/vexmoor.exe", "MZ");
    WriteFile(patch, "live archive as installed");
}

const SharedPaths& QtWindowTest::Accepted() {
    std::filesystem::create_directory(game + "/mods");
    startup.SetGamePath(game);
    return startup.Paths();
}

int ScreenDpi() {
    return static_cast<int>(std::lround(QGuiApplication::primaryScreen()->logicalDotsPerInch()));
}

void ExpectLaidOut(const QWidget& window, layout::Size client,
                   std::span<const layout::Control> controls) {
    const auto px = [dpi = ScreenDpi()](int twips) { return layout::TwipsToPixels(twips, dpi); };
    EXPECT_EQ(window.size(), QSize(px(client.width), px(client.height)));
    EXPECT_EQ(window.minimumSize(), window.maximumSize()) << "fixed size";
    for (const layout::Control& control : controls) {
        const auto& widget = Child<QWidget>(window, std::string(control.name).c_str());
        EXPECT_EQ(widget.geometry(),
                  QRect(px(control.left), px(control.top), px(control.width), px(control.height)))
            << control.name;
    }
    // A button's frame takes a couple of pixels on each side, a text box's two above and
    // two below its text.
    for (const QLabel* label : window.findChildren<QLabel*>()) {
        const QFontMetrics metrics(label->font());
        EXPECT_LE(metrics.horizontalAdvance(label->text()), label->width())
            << qPrintable(label->text());
        EXPECT_LE(metrics.height(), label->height());
    }
    for (const QPushButton* button : window.findChildren<QPushButton*>()) {
        const QFontMetrics metrics(button->font());
        EXPECT_LE(metrics.horizontalAdvance(button->text()), button->width() - 4);
        EXPECT_LE(metrics.height(), button->height() - 2);
    }
    for (const QLineEdit* edit : window.findChildren<QLineEdit*>()) {
        EXPECT_LE(QFontMetrics(edit->font()).height(), edit->height() - 4);
    }
}

std::vector<QString> TabWalk(QWidget& window, QWidget& first, int presses) {
    window.show();
    window.activateWindow();
    QCoreApplication::processEvents();
    first.setFocus(Qt::OtherFocusReason);
    std::vector<QString> walk;
    for (int i = 0; i < presses && window.focusWidget() != nullptr; ++i) {
        QTest::keyClick(window.focusWidget(), Qt::Key_Tab);
        walk.push_back(window.focusWidget()->objectName());
    }
    return walk;
}

}  // namespace vx::test
