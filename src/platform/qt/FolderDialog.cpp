#include "platform/qt/FolderDialog.h"

#include <QApplication>
#include <QFileDialog>

#include "platform/qt/QtText.h"

namespace vx::qt {

std::string QtFolderDialog::ChooseFolder(const std::string& start) {
    // Qt opens at the current folder when `start` is none.
    return ToUtf8(QFileDialog::getExistingDirectory(
        QApplication::activeWindow(), QStringLiteral("VX Directory"), ToQString(start)));
}

}  // namespace vx::qt
