#pragma once

#include <QWidget>
#include <functional>

#include "ControlAdapters.h"
#include "app/VXModMain.h"

class QCloseEvent;
class QLabel;
class QListWidget;
class QPushButton;

namespace vx::qt {

// The main window. Its load step runs while it is built, before it is first shown; a failing
// load is reported and the window opens all the same. Closing it ends the program
// (`onClosed`).
class VXModMainWindow final : public QWidget {
  public:
    VXModMainWindow(const SharedPaths& paths, PlatformServices& platform, MessageBoxes& boxes,
                    OpenFileDialog& commonDialog1, std::function<void()> onClosed);

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void OnClick(QPushButton* button, void (VXModMain::*handler)());

    MessageBoxes& boxes_;
    std::function<void()> onClosed_;
    int dpi_;
    QLabel* label2_;
    QListWidget* list1_;
    QPushButton* swtich_;
    QPushButton* command2_;
    QPushButton* command1_;
    QtLabel label2Box_;
    QtListBox list1Box_;
    VXModMain logic_;
};

}  // namespace vx::qt
