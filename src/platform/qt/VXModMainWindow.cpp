#include "platform/qt/VXModMainWindow.h"

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QHelpEvent>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QResizeEvent>
#include <QToolTip>
#include <string>
#include <utility>
#include <vector>

#include "platform/qt/ControlFactory.h"
#include "platform/qt/QtText.h"
#include "platform/qt/WindowLayout.h"

namespace vx::qt {

namespace table = layout::vxmodmain;

namespace {

constexpr Qt::Alignment kCentred = Qt::AlignHCenter | Qt::AlignTop;

// The paths of the dropped items that are local files or folders, in the file system's bytes.
std::vector<std::string> LocalPaths(const QMimeData& data) {
    std::vector<std::string> paths;
    for (const QUrl& url : data.urls()) {
        if (url.isLocalFile()) {
            paths.push_back(EncodePath(url.toLocalFile()));
        }
    }
    return paths;
}

}  // namespace

VXModMainWindow::VXModMainWindow(const SharedPaths& paths, PlatformServices& platform,
                                 MessageBoxes& boxes, OpenFileDialog& commonDialog1,
                                 std::function<void()> onClosed)
    : Form(boxes, std::move(onClosed)),
      dpi_(LogicalDpi(*this)),
      label2_(MakeLabel(*this, table::kLabel2, dpi_, kCentred)),
      list1_(MakeListBox(*this, table::kList1, dpi_)),
      label2Box_(*label2_),
      list1Box_(*list1_),
      copies_(*this),
      logic_(paths, platform, boxes, {label2Box_, list1Box_, commonDialog1, copies_}) {
    MakeLabel(*this, table::kLabel1, dpi_, kCentred);
    OnClick(MakeButton(*this, table::kSwtich, dpi_), [this] { logic_.SwtichClick(); });
    OnClick(MakeButton(*this, table::kCommand2, dpi_), [this] { logic_.Command2Click(); });
    OnClick(MakeButton(*this, table::kCommand1, dpi_), [this] { logic_.Command1Click(); });
    SetUpGrowingWindow(*this, table::kCaption, table::kClientSize, dpi_);
    setAcceptDrops(true);
    // A path longer than the list is wide can still be read whole. The tooltip is made when
    // asked for: a copy kept with each of tens of thousands of rows costs megabytes.
    list1_->viewport()->installEventFilter(this);
    SetTabOrder(*this, table::kTabOrder);
    list1_->setFocus();
    // Fitted to the captions the window is designed with, before the load puts a file name
    // of any length into Label2.
    FitCaptionFont(*this);
}

bool VXModMainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched != list1_->viewport() || event->type() != QEvent::ToolTip) {
        return Form::eventFilter(watched, event);
    }
    const auto* help = static_cast<QHelpEvent*>(event);
    if (const QListWidgetItem* item = list1_->itemAt(help->pos())) {
        QToolTip::showText(help->globalPos(), item->text(), list1_->viewport());
    } else {
        QToolTip::hideText();
    }
    return true;
}

void VXModMainWindow::resizeEvent(QResizeEvent* event) {
    Form::resizeEvent(event);
    FollowWindowSize(*this, table::kTabOrder, table::kClientSize, &table::GrowthOf, dpi_);
}

std::vector<std::string> VXModMainWindow::TakeDrag(QDropEvent& event) const {
    std::vector<std::string> paths;
    const Qt::DropActions offered = event.possibleActions();
    if (!logic_.Busy() && event.mimeData() != nullptr &&
        offered.testAnyFlags(Qt::CopyAction | Qt::LinkAction)) {
        paths = LocalPaths(*event.mimeData());
    }
    if (paths.empty()) {
        event.ignore();
        return paths;
    }
    // Never a move, whatever the source proposes: a file manager that honours one deletes
    // the archive it dropped.
    event.setDropAction(offered.testFlag(Qt::CopyAction) ? Qt::CopyAction : Qt::LinkAction);
    event.accept();
    return paths;
}

void VXModMainWindow::dragEnterEvent(QDragEnterEvent* event) {
    TakeDrag(*event);
}

void VXModMainWindow::dragMoveEvent(QDragMoveEvent* event) {
    TakeDrag(*event);
}

void VXModMainWindow::dropEvent(QDropEvent* event) {
    const std::vector<std::string> paths = TakeDrag(*event);
    if (!paths.empty()) {
        Run([this, &paths] { logic_.DropFiles(paths); });
    }
}

void VXModMainWindow::closeEvent(QCloseEvent* event) {
    if (copies_.DeferClose()) {
        event->ignore();
        return;
    }
    Form::closeEvent(event);
}

}  // namespace vx::qt
