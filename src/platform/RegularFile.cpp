#include "platform/RegularFile.h"

#include "platform/IoError.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tb {

RegularFile::RegularFile(const QString& path) : RegularFile(QFile::encodeName(path)) {}

RegularFile::RegularFile(const QByteArray& name) {
    // The type is checked before opening: opening a FIFO for reading waits for a
    // writer, and a device may never end.
    struct stat before {};
    if (::stat(name.constData(), &before) != 0)
        throw IoError::fromErrno(errno);
    if (!S_ISREG(before.st_mode))
        throw IoError::fromErrno(EACCES);
    // Non-blocking and checked again, should the name have been replaced meanwhile.
    fd_ = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd_ < 0)
        throw IoError::fromErrno(errno);
    struct stat opened {};
    const int failure = ::fstat(fd_, &opened) != 0 ? errno : S_ISREG(opened.st_mode) ? 0 : EACCES;
    if (failure != 0) {
        ::close(fd_);
        throw IoError::fromErrno(failure);
    }
    permissions_ = opened.st_mode & 07777;
}

RegularFile::~RegularFile() {
    ::close(fd_);
}

qint64 RegularFile::read(char* data, qint64 capacity) {
    for (;;) {
        const ssize_t got = ::read(fd_, data, static_cast<size_t>(capacity));
        if (got >= 0)
            return got;
        if (errno != EINTR) {
            error_ = errno;
            return -1;
        }
    }
}

bool RegularFile::rewind() {
    if (::lseek(fd_, 0, SEEK_SET) == 0)
        return true;
    error_ = errno;
    return false;
}

} // namespace tb
