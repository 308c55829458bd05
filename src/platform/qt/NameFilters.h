#pragma once

#include <QStringList>
#include <vector>

#include "app/FileTypes.h"

namespace vx::qt {

// Qt's name filters for an open-file dialog's type list: {"Vexmoor Patch (*.zpk)", "*.zpk"}
// gives "Vexmoor Patch (*.zpk)", {"Archives", "*.zpk;*.zip"} gives "Archives (*.zpk *.zip)".
QStringList ToQtNameFilters(const std::vector<FileType>& types);

}  // namespace vx::qt
