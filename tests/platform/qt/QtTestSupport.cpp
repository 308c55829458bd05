#include "platform/qt/QtTestSupport.h"

#include <QFontMetrics>
#include <QScreen>
#include <QTest>
#include <cmath>
#include <filesystem>
#include <memory>

namespace vx::test {
namespace {

// One QApplication for the test program (offscreen: the test's environment says
// so), with Qt's own settings (the file dialog's history) kept out of the
// user's home.
class QtApplication : public ::testing::Environment {
  public:
    void SetUp() override {
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
    std::filesystem::create_directories(game + "/mods");
    WriteFile(game + "/vexmoor.exe", "MZ");
    WriteFile(game + "/patch_vx.zpk", "live archive as installed");
}

void ExpectWindow(QWidget& window, std::string_view caption, layout::Size client,
                  std::span<const layout::Control> controls, const std::vector<QString>& tabWalk) {
    EXPECT_EQ(window.windowTitle().toStdString(), caption);
    EXPECT_FALSE(window.windowIcon().isNull());
    const int dpi = static_cast<int>(std::lround(window.screen()->logicalDotsPerInch()));
    const auto px = [dpi](int twips) { return layout::TwipsToPixels(twips, dpi); };
    EXPECT_EQ(window.size(), QSize(px(client.width), px(client.height)));
    EXPECT_EQ(window.minimumSize(), window.size()) << "the laid-out size is the smallest";
    for (const layout::Control& control : controls) {
        const auto& widget = Child<QWidget>(window, std::string(control.name).c_str());
        EXPECT_EQ(widget.geometry(),
                  QRect(px(control.left), px(control.top), px(control.width), px(control.height)))
            << control.name;
        // A frame takes a couple of pixels on each side of a button's or a text
        // box's text.
        const int frame = widget.inherits("QLabel") ? 0 : 4;
        const QFontMetrics metrics(widget.font());
        EXPECT_LE(metrics.height(), widget.height() - frame) << control.name;
        const QString text = widget.property("text").toString();
        if (!control.caption.empty()) {  // a text box's text comes with the load, and scrolls
            EXPECT_EQ(text.toStdString(), control.caption);
            EXPECT_LE(metrics.horizontalAdvance(text), widget.width() - frame) << control.name;
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

}  // namespace vx::test
