#pragma once

#include <QByteArrayView>
#include <QString>

namespace tb {

// Text of the Czech Windows code page, as tags and old playlists hold it. Without
// Qt's ICU support it falls back to Latin-1, which at least shows every byte.
QString fromWindows1250(QByteArrayView bytes);

// Text that may be either: UTF-8 when the bytes are valid UTF-8, else Windows-1250,
// the code page of files and playlists from Czech Windows.
QString fromUtf8OrWindows1250(QByteArrayView bytes);

} // namespace tb
