#pragma once

#include <QByteArray>
#include <QString>

namespace tb {

// A regular file opened for reading. Anything else (a FIFO, a device, a socket, a
// directory) is refused with "File access denied" before it is opened for reading,
// since opening or reading such a thing may block or never end.
class RegularFile {
public:
    // Throws IoError: "File not found", "File access denied" and the rest.
    explicit RegularFile(const QString& path);
    // The same for a path given as its bytes, which may be in any encoding.
    explicit RegularFile(const QByteArray& nativePath);
    ~RegularFile();
    RegularFile(const RegularFile&) = delete;
    RegularFile& operator=(const RegularFile&) = delete;

    // Up to capacity bytes, 0 at the end of the file, -1 on failure with the system's
    // error number in error().
    qint64 read(char* data, qint64 capacity);
    // Back to the first byte; false on failure, with error() set.
    bool rewind();
    int error() const { return error_; }
    // The permission bits, for a copy.
    unsigned permissions() const { return permissions_; }

private:
    int fd_ = -1;
    int error_ = 0;
    unsigned permissions_ = 0;
};

} // namespace tb
