#include "platform/qt/VXDirWindow.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <utility>

#include "platform/qt/ControlFactory.h"
#include "platform/qt/WindowLayout.h"

namespace vx::qt {

namespace table = layout::vxdir;

VXDirWindow::VXDirWindow(Startup& startup, PlatformServices& platform, MessageBoxes& boxes,
                         MainWindowOpener& opener, std::function<void()> onClosed)
    : Form(boxes, std::move(onClosed)),
      dpi_(LogicalDpi(*this)),
      text1_(MakeTextBox(*this, table::kText1, dpi_)),
      self_(*this),
      text1Box_(*text1_),
      logic_(startup, platform, boxes, opener, {self_, text1Box_, browser_}) {
    MakeLabel(*this, table::kLabel1, dpi_);
    OnClick(MakeButton(*this, table::kCommand1, dpi_), [this] { logic_.Command1Click(); });
    OnClick(MakeButton(*this, table::kCommand2, dpi_), [this] { logic_.Command2Click(); });
    SetUpWindow(*this, table::kCaption, table::kClientSize, dpi_);
    SetTabOrder(*this, table::kTabOrder);
    text1_->setFocus();
    FitCaptionFont(*this);
}

}  // namespace vx::qt
