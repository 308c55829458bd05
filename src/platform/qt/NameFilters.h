#pragma once

#include <QStringList>
#include <string>

namespace vx::qt {

// Qt's name filters for a filter written as "Description | pattern" pairs joined by '|':
// "Vexmoor Patch (*.zpk) | *.zpk" gives "Vexmoor Patch (*.zpk)". Several patterns of one
// pair, separated by ';', become Qt's space-separated list. A description without a
// pattern after it is dropped.
QStringList ToQtNameFilters(const std::string& filter);

}  // namespace vx::qt
