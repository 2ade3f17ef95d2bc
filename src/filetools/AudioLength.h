#pragma once

#include <QByteArray>

namespace tb {

// The length of an MP3 file's audio in milliseconds, from its MPEG properties: the
// Xing or VBRI header where there is one, else the bit rate and the size. -1 where
// it is not known: no such file, not a regular file, unreadable, no MPEG audio.
// The path is the name's bytes.
int audioLengthMilliseconds(const QByteArray& path);

} // namespace tb
