#include "platform/qt/OpenFileDialog.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>

#include "platform/qt/QtText.h"

namespace vx::qt {

void QtOpenFileDialog::SetFileType(const FileType& type) {
    // Qt reads the patterns from the brackets at the description's end.
    nameFilter_ = ToQString(type.description);
}

void QtOpenFileDialog::ShowOpen() {
    QFileDialog dialog(QApplication::activeWindow());
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(mustExist_ ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    if (!nameFilter_.isEmpty()) {
        dialog.setNameFilter(nameFilter_);
    }
    if (!lastChoice_.isEmpty()) {
        const QFileInfo last(lastChoice_);
        dialog.setDirectory(last.absolutePath());
        dialog.selectFile(last.fileName());
    }

    fileName_.clear();
    if (dialog.exec() == QDialog::Accepted) {
        const QStringList chosen = dialog.selectedFiles();
        if (!chosen.isEmpty()) {
            fileName_ = chosen.front();
            lastChoice_ = fileName_;
        }
    }
}

std::string QtOpenFileDialog::FileName() const {
    return EncodePath(fileName_);
}

}  // namespace vx::qt
