#include "VXDirWindow.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <utility>

#include "ControlFactory.h"
#include "EventBoundary.h"
#include "WindowLayout.h"

namespace vx::qt {

namespace table = layout::vxdir;

VXDirWindow::VXDirWindow(Startup& startup, PlatformServices& platform, MessageBoxes& boxes,
                         MainWindowOpener& opener, std::function<void()> onClosed)
    : boxes_(boxes),
      onClosed_(std::move(onClosed)),
      dpi_(LogicalDpi(*this)),
      text1_(MakeTextBox(*this, table::kText1, dpi_)),
      command1_(MakeButton(*this, table::kCommand1, dpi_)),
      self_(*this),
      text1Box_(*text1_),
      logic_(startup, platform, boxes, opener, {self_, text1Box_}) {
    MakeLabel(*this, table::kLabel1, dpi_);
    SetUpWindow(*this, table::kCaption, table::kClientSize, dpi_);
    SetTabOrder(*this, table::kTabOrder);
    text1_->setFocus();
    connect(command1_, &QPushButton::clicked, this,
            [this] { RunEvent(boxes_, [this] { logic_.Command1Click(); }); });
    FitCaptionFont(*this);

    RunEvent(boxes_, [this] { logic_.Load(); });
}

void VXDirWindow::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    if (onClosed_) {
        onClosed_();
    }
}

}  // namespace vx::qt
