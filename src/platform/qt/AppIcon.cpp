#include "AppIcon.h"

namespace vx::qt {

QIcon AppIcon() {
    // The .ico holds the small sizes drawn for themselves; the PNG is the large one, and
    // stands alone should the image plugin that reads .ico be missing.
    QIcon icon(QStringLiteral(":/patchkeeper.ico"));
    icon.addFile(QStringLiteral(":/patchkeeper.png"));
    return icon;
}

}  // namespace vx::qt
