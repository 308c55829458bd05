#pragma once

#include <functional>

#include "ControlAdapters.h"
#include "Form.h"
#include "app/VXModMain.h"

class QLabel;
class QListWidget;

namespace vx::qt {

// The main window: the registered archives, the live one named above them, and the three
// commands.
class VXModMainWindow final : public Form {
  public:
    // The dialog is the one Add A Mod shows.
    VXModMainWindow(const SharedPaths& paths, PlatformServices& platform, MessageBoxes& boxes,
                    OpenFileDialog& commonDialog1, std::function<void()> onClosed);

  private:
    void OnLoad() override { logic_.Load(); }

    int dpi_;
    QLabel* label2_;
    QListWidget* list1_;
    QtLabel label2Box_;
    QtListBox list1Box_;
    VXModMain logic_;
};

}  // namespace vx::qt
