#pragma once

#include <QByteArray>

namespace tb {

// The length of a music file's audio in milliseconds. An MP3 (or a file of no music
// kind) from its MPEG properties: the Xing or VBRI header where there is one, else the
// bit rate and the size; another kind by the reader its extension names. -1 where it is
// not known: no such file, not a regular file, unreadable, no audio of that kind.
// The path is the name's bytes.
int audioLengthMilliseconds(const QByteArray& path);

} // namespace tb
