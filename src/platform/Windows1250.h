#pragma once

#include <QByteArrayView>
#include <QString>

namespace tb {

// Text of the Czech Windows code page, as tags and old playlists hold it. Without
// Qt's ICU support it falls back to Latin-1, which at least shows every byte.
QString fromWindows1250(QByteArrayView bytes);

} // namespace tb
