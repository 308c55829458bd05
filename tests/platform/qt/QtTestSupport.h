#pragma once

#include <QApplication>
#include <QWidget>
#include <span>
#include <stdexcept>

#include "app/Layout.h"
#include "platform/posix/Support.h"

namespace vx::test {

// Records as the fake does, and runs `whileShown` while it is up, as the user's
// other actions go on while a real one waits.
struct OpenFileDialogWithUser final : FakeOpenFileDialog {
    std::function<void()> whileShown = [] {};
    void ShowOpen() override {
        FakeOpenFileDialog::ShowOpen();
        whileShown();
    }
};

// Real widgets over the real store in <temp>/config and a game installed in
// <temp>/game (vexmoor.exe, patch_vx.zpk and the mods folder), with the boxes
// and the open-file dialog recorded.
class QtWindowTest : public ::testing::Test {
  protected:
    QtWindowTest();

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

// The caption, the client size, which is the smallest, and every control where
// the layout puts it at the screen's DPI, showing its whole caption in the font
// it is shown in; and where Tab goes from the control the window focuses first,
// pressed once per focusable control.
void ExpectWindow(QWidget& window, std::string_view caption, layout::Size client,
                  std::span<const layout::Control> controls, const std::vector<QString>& tabWalk);

}  // namespace vx::test
