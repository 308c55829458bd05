#include "NameFilters.h"

#include "QtText.h"

namespace vx::qt {

QStringList ToQtNameFilters(const std::string& filter) {
    const QStringList parts = ToQString(filter).split(QLatin1Char('|'));
    QStringList nameFilters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        const QString patterns = parts[i + 1].trimmed().replace(QLatin1Char(';'), QLatin1Char(' '));
        if (patterns.isEmpty()) {
            continue;
        }
        const QString bracketed = QStringLiteral("(%1)").arg(patterns);
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
