#include "platform/qt/AppIcon.h"

namespace vx::qt {

QIcon AppIcon() {
    // Each size drawn for itself; the small ones are no scaled-down copies of the large.
    QIcon icon;
    for (const char* size : {"16", "32", "48", "256"}) {
        icon.addFile(QStringLiteral(":/%1.png").arg(QLatin1String(size)));
    }
    return icon;
}

}  // namespace vx::qt
