#pragma once

#include <QString>
#include <QStringList>
#include <string>

#include "app/Controls.h"

namespace vx::qt {

// The open-file dialog over QFileDialog. After a choice FileName() is the chosen file's full
// path, in the file system's bytes; after a cancel it is empty, so that a cancelled dialog
// never adds anything. Each showing opens where the last choice was made.
class QtOpenFileDialog final : public OpenFileDialog {
  public:
    void SetFileMustExist(bool mustExist) override { mustExist_ = mustExist; }
    void SetFileType(const FileType& type) override;
    void ShowOpen() override;
    std::string FileName() const override;

  private:
    bool mustExist_ = false;
    QString nameFilter_;
    QString fileName_;
    QString lastChoice_;
};

}  // namespace vx::qt
