#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>
#include <string>
#include <string_view>

// The core speaks UTF-8; Qt speaks QString. These two are the whole border.
namespace ambrel::ui {

inline QString ToQ(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

inline std::string FromQ(const QString& text) { return text.toUtf8().toStdString(); }

// File names are bytes and need not be UTF-8 ("caf\xe9.mp3" from an old disk). A QString
// cannot hold such a name: Qt turns each stray byte into U+FFFD for good, QFile::decodeName
// and QUrl::toLocalFile included, so a path is never taken back from a QString that Qt made
// of it. A URL keeps the bytes percent-encoded; this is the path of a local file URL, byte
// for byte.
inline std::string PathFromUrl(const QUrl& url) {
    return QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()).toStdString();
}

}  // namespace ambrel::ui
