#include "filetools/AudioLength.h"

#ifdef TRACKBINDER_ID3V2
#include <mpegfile.h>
#include <mpegproperties.h>
#endif

#include "platform/FileSystems.h"

#include <QFileInfo>

namespace tb {

int audioLengthMilliseconds(const QByteArray& path) {
#ifdef TRACKBINDER_ID3V2
    // A FIFO or a device would block the reader or never end.
#ifdef Q_OS_WIN
    if (!QFileInfo(QString::fromUtf8(path)).isFile())
        return -1;
#else
    if (!isRegularFile(path.toStdString()))
        return -1;
#endif
    TagLib::MPEG::File file(path.constData(), true, TagLib::AudioProperties::Average);
    if (!file.isValid() || !file.audioProperties())
        return -1;
    const int milliseconds = file.audioProperties()->lengthInMilliseconds();
    return milliseconds > 0 ? milliseconds : -1;
#else
    (void)path;
    return -1;
#endif
}

} // namespace tb
