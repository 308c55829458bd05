#pragma once

#include <QWidget>
#include <functional>
#include <string>

#include "app/CopyJob.h"

class QCloseEvent;
class QKeyEvent;
class QLabel;
class QProgressBar;
class QPushButton;

namespace vx::qt {

// The small window a long copy shows over the main window: the archive's name, how far the
// copy has come, and Cancel. Closing it is Cancel too.
class ProgressWindow final : public QWidget {
  public:
    ProgressWindow(QWidget* owner, const std::string& fileName, std::function<void()> onCancel);

    // Shows where `state` has come; Cancel is greyed once it can do no more.
    void Show(const CopyJob::State& state);

  private:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

    QLabel* copied_;
    QProgressBar* bar_;
    QPushButton* cancel_;
    std::function<void()> onCancel_;
};

}  // namespace vx::qt
