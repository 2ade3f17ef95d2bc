#include "platform/Windows1250.h"

#include <QStringDecoder>

namespace tb {

QString fromWindows1250(QByteArrayView bytes) {
    // Looking the codec up is costly; each thread keeps one stateless decoder.
    thread_local QStringDecoder decoder("windows-1250", QStringDecoder::Flag::Stateless);
    if (!decoder.isValid())
        return QString::fromLatin1(bytes);
    return decoder.decode(bytes);
}

QString fromUtf8OrWindows1250(QByteArrayView bytes) {
    return bytes.isValidUtf8() ? QString::fromUtf8(bytes) : fromWindows1250(bytes);
}

} // namespace tb
