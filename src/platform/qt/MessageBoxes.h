#pragma once

#include <memory>
#include <string>

#include "app/Controls.h"

class QMessageBox;
class QWidget;

namespace vx::qt {

// The box Show runs: title and text as given, shown as plain text, one OK button, no icon.
std::unique_ptr<QMessageBox> MakeMessageBox(const std::string& text, const std::string& title,
                                            QWidget* parent);

// Modal boxes over whichever window of the program is active, so they open in front of it;
// with none active (during start-up) they stand alone.
class QtMessageBoxes final : public MessageBoxes {
  public:
    void Show(const std::string& text, const std::string& title) override;
    bool AskRetry(const std::string& text, const std::string& title) override;
};

}  // namespace vx::qt
