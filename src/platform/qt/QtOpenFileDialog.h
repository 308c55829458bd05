#pragma once

#include <QString>
#include <QStringList>
#include <string>

#include "app/Controls.h"

namespace vx::qt {

// The open-file dialog over QFileDialog. After a choice FileName() is the chosen file's full
// path; after a cancel it is empty, so that a cancelled dialog never adds anything. Each
// showing opens where the last choice was made.
class QtOpenFileDialog final : public OpenFileDialog {
  public:
    void SetFlags(unsigned flags) override { flags_ = flags; }
    void SetFilter(const std::string& filter) override;
    void ShowOpen() override;
    std::string FileName() const override;

  private:
    unsigned flags_ = 0;
    QStringList nameFilters_;
    QString fileName_;
    QString lastChoice_;
};

}  // namespace vx::qt
