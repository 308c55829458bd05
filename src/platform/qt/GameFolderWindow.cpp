#include "platform/qt/GameFolderWindow.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <utility>

#include "platform/qt/ControlFactory.h"
#include "platform/qt/WindowLayout.h"

namespace vx::qt {

namespace table = layout::gamefolder;

GameFolderWindow::GameFolderWindow(Startup& startup, Services services, MessageBoxes& boxes,
                                   MainWindowOpener& opener, std::function<void()> onClosed)
    : Form(boxes, std::move(onClosed)),
      dpi_(LogicalDpi(*this)),
      folderText_(MakeTextBox(*this, table::kFolderText, dpi_)),
      self_(*this),
      folderTextBox_(*folderText_),
      logic_(startup, services, boxes, opener, {self_, folderTextBox_, browser_}) {
    MakeLabel(*this, table::kFolderLabel, dpi_);
    OnClick(MakeButton(*this, table::kOk, dpi_), [this] { logic_.OnOk(); });
    OnClick(MakeButton(*this, table::kBrowse, dpi_), [this] { logic_.OnBrowse(); });
    SetUpWindow(*this, table::kCaption, table::kClientSize, dpi_);
    SetTabOrder(*this, table::kTabOrder);
    folderText_->setFocus();
    FitCaptionFont(*this);
}

}  // namespace vx::qt
