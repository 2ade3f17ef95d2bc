#pragma once

#include "platform/IoError.h"

#include <QByteArray>
#include <QString>

#ifdef Q_OS_WIN
#include <string>
#endif

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
    // To the byte at the position from the start; false on failure, with error() set.
    bool seek(qint64 position);
    // Back to the first byte.
    bool rewind() { return seek(0); }
    // The system's number for the last failure: errno, or GetLastError() on Windows.
    int error() const { return error_; }
    // The error to throw for a number that error() gave.
    static IoError ioError(int error);
    // The permission bits, for a copy (on Windows 0444 for a read-only file, else 0666).
    unsigned permissions() const { return permissions_; }

private:
#ifdef Q_OS_WIN
    void* handle_ = nullptr; // a HANDLE
#else
    int fd_ = -1;
#endif
    int error_ = 0;
    unsigned permissions_ = 0;
};

#ifdef Q_OS_WIN
// A name as the wide file functions take it: native separators, and the literal
// long form (\\?\C:\...) where the plain one would be too long.
std::wstring windowsFileName(const QString& path);
// True for a name that the system maps to a device rather than a file: CON, NUL,
// COM1.m3u (before Windows 11), anything under \\.\ such as pipes and disks.
bool namesWindowsDevice(const QString& path);
#endif

} // namespace tb
