#include "platform/FileNames.h"

#include <QFile>

#ifdef Q_OS_LINUX
#include <unistd.h>
#endif

namespace tb {

QString withVisibleControls(QString text) {
    for (QChar& c : text) {
        const char16_t code = c.unicode();
        if (code < 0x20)
            c = QChar(char16_t(0x2400 + code)); // the Control Pictures block: U+240A for LF
        else if (code == 0x7F)
            c = QChar(char16_t(0x2421));
    }
    return text;
}

#ifdef Q_OS_LINUX

bool deleteFile(const QByteArray& path) {
    return ::unlink(path.constData()) == 0;
}

#else

// Elsewhere Qt decodes the names back.
bool deleteFile(const QByteArray& path) {
    return QFile::remove(QFile::decodeName(path));
}

#endif

} // namespace tb
