#pragma once

#include <QFile>
#include <QString>
#include <string>
#include <string_view>

namespace vx::qt {

// The window logic speaks UTF-8; Qt speaks QString.
inline QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
inline std::string ToUtf8(const QString& text) {
    return text.toStdString();
}

// A path is the file system's bytes, which need not be UTF-8 (a name written in Latin-1):
// shown the way the file system's names are decoded, never taken back from that text.
inline QString DecodePath(std::string_view path) {
    return QFile::decodeName(QByteArray(path.data(), static_cast<qsizetype>(path.size())));
}
inline std::string EncodePath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

}  // namespace vx::qt
