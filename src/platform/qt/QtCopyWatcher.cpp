#include "platform/qt/QtCopyWatcher.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <functional>
#include <utility>

#include "platform/qt/ProgressWindow.h"

namespace vx::qt {

void QtCopyWatcher::Watch(CopyJob& job, const std::string& fileName) {
    job_ = &job;
    mainWindow_.setCursor(Qt::WaitCursor);
    // At first only painting and the like: what the user clicks now waits for the copy, as
    // it would in a window that is simply busy for a moment.
    QElapsedTimer started;
    started.start();
    RunEventsUntil(job, false, [&] { return started.elapsed() >= kProgressWindowDelay.count(); });
    if (!job.Now().ended) {
        EnableControls(false);
        ProgressWindow window(&mainWindow_, fileName, [&job] { job.Cancel(); });
        window.Show(job.Now());
        RunEventsUntil(job, true, [&] {
            window.Show(job.Now());
            return false;
        });
        EnableControls(true);
    }
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

void QtCopyWatcher::EnableControls(bool enabled) {
    for (QWidget* child : mainWindow_.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (!child->isWindow()) {
            child->setEnabled(enabled);
        }
    }
}

}  // namespace vx::qt
