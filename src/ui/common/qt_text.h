#pragma once

#include <QString>
#include <string>
#include <string_view>

// The core speaks UTF-8; Qt speaks QString. These two are the whole border.
namespace ambrel::ui {

inline QString ToQ(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

inline std::string FromQ(const QString& text) { return text.toUtf8().toStdString(); }

}  // namespace ambrel::ui
