#pragma once

#include <string>
#include <vector>

#include "app/Controls.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QWidget;

// The control interfaces of the window logic over Qt widgets. Each adapter refers to a widget
// that its window owns and lives no longer than that window.
namespace vx::qt {

class QtWindow final : public Window {
  public:
    explicit QtWindow(QWidget& widget) : widget_(widget) {}
    void Hide() override;

  private:
    QWidget& widget_;
};

class QtTextBox final : public TextBox {
  public:
    explicit QtTextBox(QLineEdit& edit) : edit_(edit) {}
    std::string Text() const override;
    void SetText(const std::string& text) override;

  private:
    QLineEdit& edit_;
};

class QtLabel final : public Label {
  public:
    explicit QtLabel(QLabel& label) : label_(label) {}
    void SetCaption(const std::string& caption) override;

  private:
    QLabel& label_;
};

// Expects a list widget set up for one selection at most and no sorting.
class QtListBox final : public ListBox {
  public:
    explicit QtListBox(QListWidget& list) : list_(list) {}
    void SetItems(const std::vector<std::string>& items) override;
    std::string Item(int index) const override;
    int SelectedIndex() const override;

  private:
    QListWidget& list_;
};

}  // namespace vx::qt
