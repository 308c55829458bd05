#include "platform/qt/ControlAdapters.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalBlocker>
#include <QStringList>
#include <QWidget>

#include "platform/qt/QtText.h"

namespace vx::qt {
namespace {

constexpr int kPathRole = Qt::UserRole;

}  // namespace

void QtWindow::Hide() {
    widget_.hide();
}

std::string QtTextBox::Text() const {
    return ToUtf8(edit_.text());
}

void QtTextBox::SetText(const std::string& text) {
    edit_.setText(ToQString(text));
}

void QtLabel::SetCaption(const std::string& caption) {
    label_.setText(DecodePath(caption));
}

void QtListBox::SetItems(const std::vector<std::string>& items) {
    QStringList shown;
    shown.reserve(static_cast<qsizetype>(items.size()));
    for (const std::string& item : items) {
        shown.append(DecodePath(item));
    }
    list_.clear();
    // One insertion lays the view out once; the paths go in after it, unannounced, since
    // nothing shown depends on them.
    list_.addItems(shown);
    const QSignalBlocker quiet(list_.model());
    for (int row = 0; row < list_.count(); ++row) {
        // The text shown may have lost bytes that are not UTF-8; the path kept with it has not.
        list_.item(row)->setData(kPathRole,
                                 QByteArray::fromStdString(items[static_cast<std::size_t>(row)]));
    }
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
