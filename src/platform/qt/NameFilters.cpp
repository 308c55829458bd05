#include "platform/qt/NameFilters.h"

#include "platform/qt/QtText.h"

namespace vx::qt {

QStringList ToQtNameFilters(const std::vector<FileType>& types) {
    QStringList nameFilters;
    for (const FileType& type : types) {
        const QString description = ToQString(type.description);
        const QString bracketed = QStringLiteral("(%1)").arg(
            ToQString(type.pattern).replace(QLatin1Char(';'), QLatin1Char(' ')));
        // Qt reads the patterns from the last brackets of the text, so a description that
        // shows them already is complete as it stands.
        if (description.isEmpty()) {
            nameFilters.append(bracketed);
        } else if (description.endsWith(bracketed)) {
            nameFilters.append(description);
        } else {
            nameFilters.append(description + QLatin1Char(' ') + bracketed);
        }
    }
    return nameFilters;
}

}  // namespace vx::qt
