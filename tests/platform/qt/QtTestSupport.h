#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QWidget>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/Layout.h"
#include "app/Startup.h"
#include "fakes/FakeControls.h"
#include "platform/posix/PosixPlatform.h"
#include "platform/posix/TempFolder.h"

namespace vx::test {

// Real widgets over the real store in <temp>/config and a game installed in <temp>/game
// (vexmoor.exe and patch_vx.zpk), with the boxes and the open-file dialog recorded.
class QtWindowTest : public ::testing::Test {
  protected:
    QtWindowTest();
    // Remembers the game folder with its mods folder made, as an accepted folder leaves it.
    const SharedPaths& Accepted();

    TempFolder temp;
    std::string game = temp / "game";
    std::string patch = game + "/patch_vx.zpk";
    posix::PosixPlatform platform{temp.Path() / "config"};
    Startup startup{platform};
    FakeMessageBoxes boxes;
    FakeOpenFileDialog dialog;
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

int ScreenDpi();

// Fixed client size and every control's rectangle, in pixels at the screen's DPI; and every
// caption fitting inside its control in the font it is shown in.
void ExpectLaidOut(const QWidget& window, layout::Size client,
                   std::span<const layout::Control> controls);

// Shows the window, focuses `first` and presses Tab `presses` times: where the focus went.
std::vector<QString> TabWalk(QWidget& window, QWidget& first, int presses);

}  // namespace vx::test
