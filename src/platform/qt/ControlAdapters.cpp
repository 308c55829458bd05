#include "ControlAdapters.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QWidget>

#include "QtText.h"

namespace vx::qt {

void QtWindow::Show() {
    widget_.show();
    widget_.activateWindow();
}

void QtWindow::Hide() {
    widget_.hide();
}

std::string QtTextBox::Text() const {
    return ToUtf8(edit_.text());
}

void QtTextBox::SetText(const std::string& text) {
    edit_.setText(ToQString(text));
}

std::string QtLabel::Caption() const {
    return ToUtf8(label_.text());
}

void QtLabel::SetCaption(const std::string& caption) {
    label_.setText(ToQString(caption));
}

void QtListBox::Clear() {
    list_.clear();
}

void QtListBox::AddItem(const std::string& item) {
    list_.addItem(ToQString(item));
}

int QtListBox::ItemCount() const {
    return list_.count();
}

std::string QtListBox::Item(int index) const {
    const QListWidgetItem* item = list_.item(index);
    return item != nullptr ? ToUtf8(item->text()) : std::string{};
}

int QtListBox::SelectedIndex() const {
    // The current row is only where the keyboard cursor is; the selection is what the user
    // picked, and a click with Ctrl can take it away again.
    const QList<QListWidgetItem*> selected = list_.selectedItems();
    return selected.isEmpty() ? -1 : list_.row(selected.front());
}

}  // namespace vx::qt
