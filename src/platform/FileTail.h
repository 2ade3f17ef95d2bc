#pragma once

#include <QByteArray>
#include <QString>

namespace tb {

// The last `count` bytes of the regular file at path. Only regular files are
// read: a FIFO, device or directory is refused at once, without being opened for
// reading, so that nothing can block. Throws IoError: "File not found", "File
// access denied" (also for what is not a regular file), or "Read beyond end of
// file" when the file is shorter than count or shrinks while it is read.
QByteArray readFileTail(const QString& path, qint64 count);
// The same for a path given as its bytes, which may be in any encoding.
QByteArray readFileTail(const QByteArray& nativePath, qint64 count);

} // namespace tb
