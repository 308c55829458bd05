#include "platform/qt/CopyWatcher.h"

#include <QEventLoop>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <vector>

#include "platform/qt/ProgressWindow.h"

namespace vx::qt {
namespace {

// Disables the main window's controls for its life, its close box staying usable; enables
// again those it disabled, however the watch ends.
class DisabledControls {
  public:
    explicit DisabledControls(QWidget& window) {
        for (QWidget* child : window.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (!child->isWindow() && child->isEnabled()) {
                child->setEnabled(false);
                disabled_.emplace_back(child);
            }
        }
    }
    DisabledControls(const DisabledControls&) = delete;
    DisabledControls& operator=(const DisabledControls&) = delete;
    DisabledControls(DisabledControls&&) = delete;
    DisabledControls& operator=(DisabledControls&&) = delete;
    ~DisabledControls() {
        for (const QPointer<QWidget>& child : disabled_) {
            if (child != nullptr) {
                child->setEnabled(true);
            }
        }
    }

  private:
    std::vector<QPointer<QWidget>> disabled_;
};

}  // namespace

void QtCopyWatcher::BeginWatch() {
    mainWindow_.setCursor(Qt::WaitCursor);
}

void QtCopyWatcher::WaitQuietly(CopyJob& job, Clock::time_point until) {
    RunEventsUntil(job, false, [until] { return Clock::now() >= until; });
}

void QtCopyWatcher::WaitWithProgress(CopyJob& job, const std::string& fileName) {
    ProgressWindow window(&mainWindow_, fileName, [&job] { job.Cancel(); });
    // Enabled again before the window goes, so that the main window takes the focus back.
    const DisabledControls disabled(mainWindow_);
    window.Show(job.Now());
    RunEventsUntil(job, true, [&] {
        window.Show(job.Now());
        return false;
    });
}

void QtCopyWatcher::EndWatch(bool close) noexcept {
    mainWindow_.unsetCursor();
    if (close) {
        QMetaObject::invokeMethod(&mainWindow_, &QWidget::close, Qt::QueuedConnection);
    }
}

void QtCopyWatcher::RunEventsUntil(CopyJob& job, bool userInput,
                                   const std::function<bool()>& until) {
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (job.Now().ended || until()) {
            loop.quit();
        }
    });
    poll.start(std::chrono::duration_cast<std::chrono::milliseconds>(kProgressPollInterval));
    if (!job.Now().ended) {
        loop.exec(userInput ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
    }
}

}  // namespace vx::qt
