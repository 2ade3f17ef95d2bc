#include "filetools/AudioLength.h"

#ifdef TRACKBINDER_ID3V2
#include "filetools/CommonTags.h"
#include "filetools/MusicFormats.h"

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
    // Other kinds by their own reader; anything else is taken for MPEG audio, as before.
    const MusicKind kind = musicKindOf(std::string_view(path.constData(), path.size()));
    if (kind != MusicKind::Other && kind != MusicKind::Mp3) {
        const auto tags = readCommonTags(path.toStdString(), kind, AudioLength::Read);
        return tags ? tags->milliseconds : -1;
    }
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
