#pragma once

#include <QWidget>
#include <functional>

#include "app/Controls.h"

class QCloseEvent;
class QPushButton;

namespace vx::qt {

// One of the program's two top-level windows, built hidden. Its load step runs when it is first
// opened; the user closing it ends the program (`onClosed`), while hiding it, as the
// hand-over between the windows does, does not.
class Form : public QWidget {
  public:
    Form(MessageBoxes& boxes, std::function<void()> onClosed);

    // Shows the window, running the load step first the first time. A failing load is
    // reported and the window still opens.
    void Open();

  protected:
    virtual void OnLoad() = 0;
    // Runs `handler` when the button is clicked, its failures ending in the error box.
    void OnClick(QPushButton* button, std::function<void()> handler);
    // Runs `handler` now, its failures ending in the error box.
    void Run(const std::function<void()>& handler);
    void closeEvent(QCloseEvent* event) override;

  private:
    MessageBoxes& boxes_;
    std::function<void()> onClosed_;
    bool loaded_ = false;
};

}  // namespace vx::qt
