#include "platform/qt/ControlFactory.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "platform/qt/QtText.h"
#include "platform/qt/WindowLayout.h"

namespace vx::qt {
namespace {

template <typename Widget>
Widget* MakeNamed(QWidget& window, const layout::Control& control, int dpi) {
    auto* widget = new Widget(&window);
    widget->setObjectName(ToQString(control.name));
    Place(*widget, control, dpi);
    return widget;
}

}  // namespace

QLabel* MakeLabel(QWidget& window, const layout::Control& control, int dpi,
                  Qt::Alignment alignment) {
    auto* label = MakeNamed<QLabel>(window, control, dpi);
    // A label later shows file names, which must not be taken for markup.
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(alignment);
    label->setText(ToQString(control.caption));
    return label;
}

QLineEdit* MakeTextBox(QWidget& window, const layout::Control& control, int dpi) {
    auto* edit = MakeNamed<QLineEdit>(window, control, dpi);
    edit->setText(ToQString(control.caption));
    return edit;
}

QListWidget* MakeListBox(QWidget& window, const layout::Control& control, int dpi) {
    auto* list = MakeNamed<QListWidget>(window, control, dpi);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setSortingEnabled(false);
    // Every row is one line of text: the view sizes one, not each of tens of thousands.
    list->setUniformItemSizes(true);
    return list;
}

QPushButton* MakeButton(QWidget& window, const layout::Control& control, int dpi) {
    auto* button = MakeNamed<QPushButton>(window, control, dpi);
    button->setText(ToQString(control.caption));
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

}  // namespace vx::qt
