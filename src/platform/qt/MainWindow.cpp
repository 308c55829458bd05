#include "platform/qt/MainWindow.h"

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

namespace table = layout::mainwindow;

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

MainWindow::MainWindow(const SharedPaths& paths, Services services, MessageBoxes& boxes,
                       OpenFileDialog& openDialog, std::function<void()> onClosed)
    : Form(boxes, std::move(onClosed)),
      dpi_(LogicalDpi(*this)),
      currentMod_(MakeLabel(*this, table::kCurrentMod, dpi_, kCentred)),
      modList_(MakeListBox(*this, table::kModList, dpi_)),
      currentModBox_(*currentMod_),
      modListBox_(*modList_),
      copies_(*this),
      logic_(paths, services, boxes, {currentModBox_, modListBox_, openDialog, copies_}) {
    MakeLabel(*this, table::kCurrentModHeading, dpi_, kCentred);
    OnClick(MakeButton(*this, table::kSwitch, dpi_), [this] { logic_.OnSwitch(); });
    OnClick(MakeButton(*this, table::kAdd, dpi_), [this] { logic_.OnAdd(); });
    OnClick(MakeButton(*this, table::kRemove, dpi_), [this] { logic_.OnRemove(); });
    SetUpGrowingWindow(*this, table::kCaption, table::kClientSize, dpi_);
    setAcceptDrops(true);
    // A path longer than the list is wide can still be read whole. The tooltip is made when
    // asked for: a copy kept with each of tens of thousands of rows costs megabytes.
    modList_->viewport()->installEventFilter(this);
    SetTabOrder(*this, table::kTabOrder);
    modList_->setFocus();
    // Fitted to the captions the window is designed with, before the load puts a file name
    // of any length into the current-mod label.
    FitCaptionFont(*this);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched != modList_->viewport() || event->type() != QEvent::ToolTip) {
        return Form::eventFilter(watched, event);
    }
    const auto* help = static_cast<QHelpEvent*>(event);
    if (const QListWidgetItem* item = modList_->itemAt(help->pos())) {
        QToolTip::showText(help->globalPos(), item->text(), modList_->viewport());
    } else {
        QToolTip::hideText();
    }
    return true;
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    Form::resizeEvent(event);
    FollowWindowSize(*this, table::kTabOrder, table::kClientSize, &table::GrowthOf, dpi_);
}

std::vector<std::string> MainWindow::TakeDrag(QDropEvent& event) const {
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

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    TakeDrag(*event);
}

void MainWindow::dragMoveEvent(QDragMoveEvent* event) {
    TakeDrag(*event);
}

void MainWindow::dropEvent(QDropEvent* event) {
    const std::vector<std::string> paths = TakeDrag(*event);
    if (!paths.empty()) {
        Run([this, &paths] { logic_.OnDrop(paths); });
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (copies_.DeferClose()) {
        event->ignore();
        return;
    }
    Form::closeEvent(event);
}

}  // namespace vx::qt
