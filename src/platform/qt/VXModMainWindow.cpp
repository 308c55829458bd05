#include "VXModMainWindow.h"

#include <QCloseEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <utility>

#include "ControlFactory.h"
#include "EventBoundary.h"
#include "WindowLayout.h"

namespace vx::qt {

namespace table = layout::vxmodmain;

constexpr Qt::Alignment kCentred = Qt::AlignHCenter | Qt::AlignTop;

VXModMainWindow::VXModMainWindow(const SharedPaths& paths, PlatformServices& platform,
                                 MessageBoxes& boxes, OpenFileDialog& commonDialog1,
                                 std::function<void()> onClosed)
    : boxes_(boxes),
      onClosed_(std::move(onClosed)),
      dpi_(LogicalDpi(*this)),
      label2_(MakeLabel(*this, table::kLabel2, dpi_, kCentred)),
      list1_(MakeListBox(*this, table::kList1, dpi_)),
      swtich_(MakeButton(*this, table::kSwtich, dpi_)),
      command2_(MakeButton(*this, table::kCommand2, dpi_)),
      command1_(MakeButton(*this, table::kCommand1, dpi_)),
      label2Box_(*label2_),
      list1Box_(*list1_),
      logic_(paths, platform, boxes, {label2Box_, list1Box_, commonDialog1}) {
    MakeLabel(*this, table::kLabel1, dpi_, kCentred);
    SetUpWindow(*this, table::kCaption, table::kClientSize, dpi_);
    SetTabOrder(*this, table::kTabOrder);
    list1_->setFocus();
    OnClick(swtich_, &VXModMain::SwtichClick);
    OnClick(command2_, &VXModMain::Command2Click);
    OnClick(command1_, &VXModMain::Command1Click);
    // Fitted to the captions the window is designed with, before the load puts a file name
    // of any length into Label2.
    FitCaptionFont(*this);

    RunEvent(boxes_, [this] { logic_.Load(); });
}

void VXModMainWindow::OnClick(QPushButton* button, void (VXModMain::*handler)()) {
    connect(button, &QPushButton::clicked, this,
            [this, handler] { RunEvent(boxes_, [this, handler] { (logic_.*handler)(); }); });
}

void VXModMainWindow::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    if (onClosed_) {
        onClosed_();
    }
}

}  // namespace vx::qt
