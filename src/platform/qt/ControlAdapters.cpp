#include "ControlAdapters.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QWidget>

#include "QtText.h"

namespace vx::qt {
namespace {

constexpr int kPathRole = Qt::UserRole;

}  // namespace

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
    label_.setText(DecodePath(caption));
}

void QtListBox::Clear() {
    list_.clear();
}

void QtListBox::AddItem(const std::string& item) {
    // The text shown may have lost bytes that are not UTF-8; the path kept with it has not.
    auto* row = new QListWidgetItem(DecodePath(item));
    row->setData(kPathRole, QByteArray::fromStdString(item));
    list_.addItem(row);
}

int QtListBox::ItemCount() const {
    return list_.count();
}

std::string QtListBox::Item(int index) const {
    const QListWidgetItem* item = list_.item(index);
    return item != nullptr ? item->data(kPathRole).toByteArray().toStdString() : std::string{};
}

int QtListBox::SelectedIndex() const {
    // The current row is only where the keyboard cursor is; the selection is what the user
    // picked, and a click with Ctrl can take it away again.
    const QList<QListWidgetItem*> selected = list_.selectedItems();
    return selected.isEmpty() ? -1 : list_.row(selected.front());
}

}  // namespace vx::qt
