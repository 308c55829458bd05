#pragma once

#include <QWidget>
#include <functional>

#include "app/CopyWatch.h"

namespace vx::qt {

// Waits for a copy in nested Qt event loops over the main window (see CopyWatch).
class QtCopyWatcher final : public CopyWatch {
  public:
    explicit QtCopyWatcher(QWidget& mainWindow) : mainWindow_(mainWindow) {}

  private:
    void BeginWatch() override;
    void WaitQuietly(CopyJob& job, Clock::time_point until) override;
    void WaitWithProgress(CopyJob& job, const std::string& fileName) override;
    void EndWatch(bool close) noexcept override;
    // Runs the events until the job has ended or `until` answers true, at each poll.
    void RunEventsUntil(CopyJob& job, bool userInput, const std::function<bool()>& until);

    QWidget& mainWindow_;
};

}  // namespace vx::qt
