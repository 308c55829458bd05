#include "platform/qt/MessageBoxes.h"

#include <QApplication>
#include <QMessageBox>

#include "platform/qt/QtText.h"

namespace vx::qt {

std::unique_ptr<QMessageBox> MakeMessageBox(const std::string& text, const std::string& title,
                                            QWidget* parent) {
    auto box = std::make_unique<QMessageBox>(QMessageBox::NoIcon, ToQString(title), ToQString(text),
                                             QMessageBox::Ok, parent);
    // Paths and file names are shown as they are, even when they look like markup.
    box->setTextFormat(Qt::PlainText);
    return box;
}

void QtMessageBoxes::Show(const std::string& text, const std::string& title) {
    MakeMessageBox(text, title, QApplication::activeWindow())->exec();
}

bool QtMessageBoxes::AskRetry(const std::string& text, const std::string& title) {
    const auto box = MakeMessageBox(text, title, QApplication::activeWindow());
    box->setStandardButtons(QMessageBox::Retry | QMessageBox::Cancel);
    box->setDefaultButton(QMessageBox::Retry);
    box->setEscapeButton(QMessageBox::Cancel);
    return box->exec() == QMessageBox::Retry;
}

}  // namespace vx::qt
