#include "platform/FileTail.h"

#include "platform/IoError.h"

#include <cerrno>

#ifdef Q_OS_WIN
#include <QFile>
#include <QFileInfo>
#else
#include <QFile>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tb {

#ifdef Q_OS_WIN

QByteArray readFileTail(const QString& path, qint64 count) {
    const QFileInfo info(path);
    if (!info.exists())
        throw IoError::fromErrno(ENOENT);
    if (!info.isFile())
        throw IoError::fromErrno(EACCES);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw IoError::fromErrno(EACCES);
    const qint64 size = file.size();
    if (size < count || !file.seek(size - count))
        throw IoError::endOfFile();
    QByteArray tail = file.read(count);
    if (tail.size() != count)
        throw IoError::endOfFile();
    return tail;
}

QByteArray readFileTail(const QByteArray& nativePath, qint64 count) {
    return readFileTail(QFile::decodeName(nativePath), count);
}

#else

namespace {

// Closes the descriptor however the read ends.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    int get() const { return fd_; }

private:
    int fd_;
};

} // namespace

QByteArray readFileTail(const QString& path, qint64 count) {
    return readFileTail(QFile::encodeName(path), count);
}

QByteArray readFileTail(const QByteArray& name, qint64 count) {
    // The type is checked before opening: opening a FIFO or some devices for
    // reading blocks or has effects of its own.
    struct stat before {};
    if (::stat(name.constData(), &before) != 0)
        throw IoError::fromErrno(errno);
    if (!S_ISREG(before.st_mode))
        throw IoError::fromErrno(EACCES);

    // Non-blocking and re-checked, should the name have been replaced meanwhile.
    const FileDescriptor file(
        ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (file.get() < 0)
        throw IoError::fromErrno(errno);
    struct stat opened {};
    if (::fstat(file.get(), &opened) != 0)
        throw IoError::fromErrno(errno);
    if (!S_ISREG(opened.st_mode))
        throw IoError::fromErrno(EACCES);
    if (opened.st_size < count)
        throw IoError::endOfFile();

    QByteArray tail(count, Qt::Uninitialized);
    qint64 done = 0;
    const off_t start = opened.st_size - count;
    while (done < count) {
        const ssize_t got = ::pread(file.get(), tail.data() + done,
                                    static_cast<size_t>(count - done), start + done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            throw IoError::fromErrno(errno);
        if (got == 0) // the file shrank since it was measured
            throw IoError::endOfFile();
        done += got;
    }
    return tail;
}

#endif

} // namespace tb
