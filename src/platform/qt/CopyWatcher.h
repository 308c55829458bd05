#pragma once

#include <QPointer>
#include <QWidget>

#include "app/Controls.h"

namespace vx::qt {

// Keeps the main window painting while a copy runs, and shows the progress window over it
// when the copy takes a while (see CopyWatcher).
class QtCopyWatcher final : public CopyWatcher {
  public:
    explicit QtCopyWatcher(QWidget& mainWindow) : mainWindow_(mainWindow) {}

    void Watch(CopyJob& job, const std::string& fileName) override;

    // The main window is asked to close. While a copy runs, cancels it and answers true: the
    // main window is closed once the command that started the copy has ended.
    bool DeferClose();

  private:
    void WaitFor(CopyJob& job, const std::string& fileName);
    // Runs the events until the job has ended or `until` answers true, at each poll.
    void RunEventsUntil(CopyJob& job, bool userInput, const std::function<bool()>& until);
    // Gives the main window back, and closes it when it was asked to close meanwhile.
    void Done();

    QWidget& mainWindow_;
    CopyJob* job_ = nullptr;
    bool closeWhenDone_ = false;
};

}  // namespace vx::qt
