#pragma once

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

}  // namespace vx::qt
