#include "platform/qt/CopyWatcher.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <utility>
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

void QtCopyWatcher::Watch(CopyJob& job, const std::string& fileName) {
    job_ = &job;
    mainWindow_.setCursor(Qt::WaitCursor);
    // A watch cut short by a failure (the progress window cannot be made, say) still lets go
    // of the job, or every later close of the main window would wait for a copy long gone.
    try {
        WaitFor(job, fileName);
    } catch (...) {
        Done();
        throw;
    }
    Done();
}

void QtCopyWatcher::WaitFor(CopyJob& job, const std::string& fileName) {
    // At first only painting and the like: what the user clicks now waits for the copy, as
    // it would in a window that is simply busy for a moment.
    QElapsedTimer started;
    started.start();
    RunEventsUntil(job, false, [&] { return started.elapsed() >= kProgressWindowDelay.count(); });
    if (job.Now().ended) {
        return;
    }
    ProgressWindow window(&mainWindow_, fileName, [&job] { job.Cancel(); });
    // Enabled again before the window goes, so that the main window takes the focus back.
    const DisabledControls disabled(mainWindow_);
    window.Show(job.Now());
    RunEventsUntil(job, true, [&] {
        window.Show(job.Now());
        return false;
    });
}

void QtCopyWatcher::Done() {
    mainWindow_.unsetCursor();
    job_ = nullptr;
    if (std::exchange(closeWhenDone_, false)) {
        // Queued: the command that started the copy ends first.
        QMetaObject::invokeMethod(&mainWindow_, &QWidget::close, Qt::QueuedConnection);
    }
}

bool QtCopyWatcher::DeferClose() {
    if (job_ == nullptr) {
        return false;
    }
    job_->Cancel();
    closeWhenDone_ = true;
    return true;
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
