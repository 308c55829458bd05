#include "platform/qt/ProgressWindow.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <utility>

#include "app/Layout.h"
#include "app/ProgressText.h"
#include "platform/qt/ControlFactory.h"
#include "platform/qt/QtText.h"
#include "platform/qt/WindowLayout.h"

namespace vx::qt {

namespace table = layout::progress;

namespace {

constexpr Qt::Alignment kCentred = Qt::AlignHCenter | Qt::AlignTop;
constexpr int kBarRange = 1000;

}  // namespace

ProgressWindow::ProgressWindow(QWidget* owner, const std::string& fileName,
                               std::function<void()> onCancel)
    : QWidget(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint),
      copied_(nullptr),
      bar_(new QProgressBar(this)),
      cancel_(nullptr),
      onCancel_(std::move(onCancel)) {
    const int dpi = LogicalDpi(*this);
    QLabel* label1 = MakeLabel(*this, table::kFileName, dpi, kCentred);
    copied_ = MakeLabel(*this, table::kCopied, dpi, kCentred);
    bar_->setObjectName(ToQString(table::kBar.name));
    Place(*bar_, table::kBar, dpi);
    bar_->setRange(0, kBarRange);
    bar_->setTextVisible(false);
    cancel_ = MakeButton(*this, table::kCancel, dpi);
    connect(cancel_, &QPushButton::clicked, this, [this] { onCancel_(); });
    SetUpWindow(*this, table::kCaption, table::kClientSize, dpi);
    FitCaptionFont(*this);
    // A name wider than the window loses its middle, where mod names differ least.
    label1->setText(
        label1->fontMetrics().elidedText(DecodePath(fileName), Qt::ElideMiddle, label1->width()));
    cancel_->setFocus();
}

void ProgressWindow::Show(const CopyJob::State& state) {
    copied_->setText(ToQString(CopiedOfTotal(state.done, state.total)));
    bar_->setValue(CopiedPermille(state.done, state.total));
    cancel_->setEnabled(state.Cancellable());
    if (!isVisible()) {
        show();
    }
}

void ProgressWindow::closeEvent(QCloseEvent* event) {
    // The window goes when the copy has ended, not before.
    event->ignore();
    onCancel_();
}

void ProgressWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        onCancel_();
        return;
    }
    QWidget::keyPressEvent(event);
}

}  // namespace vx::qt
