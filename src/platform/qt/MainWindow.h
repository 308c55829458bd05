#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/MainWindow.h"
#include "platform/qt/ControlAdapters.h"
#include "platform/qt/CopyWatcher.h"
#include "platform/qt/Form.h"

class QCloseEvent;
class QDragEnterEvent;
class QDragMoveEvent;
class QDropEvent;
class QLabel;
class QListWidget;
class QResizeEvent;

namespace vx::qt {

// The main window: the registered archives, the live one named above them, and Switch To,
// Add A Mod and Remove A Mod. It grows from its laid-out size, which is its smallest, and
// files dropped on it are added as mods.
class MainWindow final : public Form {
  public:
    // The dialog is the one Add A Mod shows.
    MainWindow(const SharedPaths& paths, Services services, MessageBoxes& boxes,
               OpenFileDialog& openDialog, std::function<void()> onClosed);

  private:
    void OnLoad() override { logic_.Load(); }
    void resizeEvent(QResizeEvent* event) override;
    // The local paths of a drag the window takes, as a copy or a link; empty for one it
    // refuses, as it refuses every drag while a command is under way.
    std::vector<std::string> TakeDrag(QDropEvent& event) const;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    // Closing the window while a copy runs cancels the copy first.
    void closeEvent(QCloseEvent* event) override;
    // Shows the row's full path as its tooltip.
    bool eventFilter(QObject* watched, QEvent* event) override;

    int dpi_;
    QLabel* currentMod_;
    QListWidget* modList_;
    QtLabel currentModBox_;
    QtListBox modListBox_;
    QtCopyWatcher copies_;
    vx::MainWindow logic_;
};

}  // namespace vx::qt
