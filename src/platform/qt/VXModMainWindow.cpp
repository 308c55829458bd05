#include "VXModMainWindow.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <utility>

#include "ControlFactory.h"
#include "WindowLayout.h"

namespace vx::qt {

namespace table = layout::vxmodmain;

constexpr Qt::Alignment kCentred = Qt::AlignHCenter | Qt::AlignTop;

VXModMainWindow::VXModMainWindow(const SharedPaths& paths, PlatformServices& platform,
                                 MessageBoxes& boxes, OpenFileDialog& commonDialog1,
                                 std::function<void()> onClosed)
    : Form(boxes, std::move(onClosed)),
      dpi_(LogicalDpi(*this)),
      label2_(MakeLabel(*this, table::kLabel2, dpi_, kCentred)),
      list1_(MakeListBox(*this, table::kList1, dpi_)),
      label2Box_(*label2_),
      list1Box_(*list1_),
      logic_(paths, platform, boxes, {label2Box_, list1Box_, commonDialog1}) {
    MakeLabel(*this, table::kLabel1, dpi_, kCentred);
    OnClick(MakeButton(*this, table::kSwtich, dpi_), [this] { logic_.SwtichClick(); });
    OnClick(MakeButton(*this, table::kCommand2, dpi_), [this] { logic_.Command2Click(); });
    OnClick(MakeButton(*this, table::kCommand1, dpi_), [this] { logic_.Command1Click(); });
    SetUpWindow(*this, table::kCaption, table::kClientSize, dpi_);
    SetTabOrder(*this, table::kTabOrder);
    list1_->setFocus();
    // Fitted to the captions the window is designed with, before the load puts a file name
    // of any length into Label2.
    FitCaptionFont(*this);
}

}  // namespace vx::qt
