#include "platform/qt/AppIcon.h"

#include <QImageReader>
#include <QPixmap>

namespace vx::qt {

QIcon AppIcon() {
    // Read once for both windows and the program. Each size drawn for itself; the small ones
    // are no scaled-down copies of the large. Read as the PNG it is: left to guess, Qt loads
    // every image plugin there is to ask it, which costs the start more than the reading.
    static const QIcon icon = [] {
        QIcon sizes;
        for (const char* size : {"16", "32", "48", "256"}) {
            QImageReader reader(QStringLiteral(":/%1.png").arg(QLatin1String(size)), "png");
            reader.setAutoDetectImageFormat(false);
            sizes.addPixmap(QPixmap::fromImage(reader.read()));
        }
        return sizes;
    }();
    return icon;
}

}  // namespace vx::qt
