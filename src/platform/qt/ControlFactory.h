#pragma once

#include <Qt>

#include "app/Layout.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QWidget;

// Makes the controls of a window, each a child of it named after its layout entry, captioned
// and placed in pixels at `dpi`.
namespace vx::qt {

QLabel* MakeLabel(QWidget& window, const layout::Control& control, int dpi,
                  Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignTop);

QLineEdit* MakeTextBox(QWidget& window, const layout::Control& control, int dpi);

// One selected item at most, items in the order they were added.
QListWidget* MakeListBox(QWidget& window, const layout::Control& control, int dpi);

// Never a default button: Enter in a text box of the window does not press it.
QPushButton* MakeButton(QWidget& window, const layout::Control& control, int dpi);

}  // namespace vx::qt
