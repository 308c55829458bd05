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

    // Whether a copy is being watched now.
    bool Watching() const { return job_ != nullptr; }
    // The user closed the main window while a copy ran: the copy is cancelled, and the
    // window closed once the command that started it has ended.
    void CancelAndClose();

  private:
    // Runs the events until the job has ended or `until` answers true, at each poll.
    void RunEventsUntil(CopyJob& job, bool userInput, const std::function<bool()>& until);
    // Sets the enabled state of the main window's controls; its close box stays usable.
    void EnableControls(bool enabled);

    QWidget& mainWindow_;
    CopyJob* job_ = nullptr;
    bool closeWhenDone_ = false;
};

}  // namespace vx::qt
