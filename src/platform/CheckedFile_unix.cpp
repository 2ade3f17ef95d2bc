#include "platform/CheckedFile.h"

#include "platform/IoError.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tb {

void CheckedFile::setTarget(const QString& path) {
    // A link is followed, so that the file it names is replaced, not the link.
    const QFileInfo info(path);
    target_ = QFile::encodeName(info.isSymLink() ? info.symLinkTarget() : path);
}

namespace {

[[noreturn]] void fail(int errnum) {
    throw IoError::fromErrno(errnum);
}

} // namespace

void CheckedFile::discard() {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    if (removeOnFailure_ && !writing_.isEmpty())
        ::unlink(writing_.constData());
    writing_.clear();
}

void CheckedFile::open(Mode mode, unsigned permissions) {
    if (mode == Mode::CreateNew) {
        fd_ = ::open(target_.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, permissions);
        if (fd_ < 0)
            fail(errno);
        writing_ = target_;
        return;
    }
    struct stat existing {};
    const bool replacing = ::stat(target_.constData(), &existing) == 0;
    if (replacing) {
        // Only a regular file is replaced: a FIFO or device must neither block the
        // save nor be swapped for a file. A read-only file stays as it is.
        if (!S_ISREG(existing.st_mode) || ::access(target_.constData(), W_OK) != 0)
            fail(EACCES);
        permissions = existing.st_mode & 07777;
    } else if (errno != ENOENT) {
        fail(errno);
    }
    openTemporary(permissions, replacing);
}

void CheckedFile::openTemporary(unsigned permissions, bool replacing) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QByteArray name =
            target_ + '.' + QByteArray::number(QRandomGenerator::global()->generate(), 36);
        fd_ = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, permissions);
        if (fd_ >= 0) {
            writing_ = name;
            // A new file's permissions are cut by the umask; a replaced one keeps its own.
            if (replacing && ::fchmod(fd_, permissions) != 0)
                fail(errno);
            return;
        }
        // A folder that takes no new file, or a name too long for a longer one.
        if (errno == EACCES || errno == EPERM || errno == ENAMETOOLONG)
            return openInPlace();
        if (errno != EEXIST)
            fail(errno);
    }
    fail(EEXIST);
}

void CheckedFile::openInPlace() {
    // The earlier file itself is written, so it must never be removed.
    removeOnFailure_ = false;
    fd_ = ::open(target_.constData(), O_WRONLY | O_CREAT | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0666);
    if (fd_ < 0)
        fail(errno);
    writing_ = target_;
    struct stat opened {};
    if (::fstat(fd_, &opened) != 0)
        fail(errno);
    if (!S_ISREG(opened.st_mode))
        fail(EACCES);
    if (::ftruncate(fd_, 0) != 0)
        fail(errno);
}

void CheckedFile::write(std::string_view bytes) {
    // A write may take fewer bytes than offered; the next one then tells why.
    while (!bytes.empty()) {
        const ssize_t done = ::write(fd_, bytes.data(), bytes.size());
        if (done < 0 && errno == EINTR)
            continue;
        if (done < 0)
            fail(errno);
        if (done == 0)
            fail(EIO);
        written_ += done;
        bytes.remove_prefix(static_cast<std::size_t>(done));
    }
}

void CheckedFile::commit() {
    // Some file systems take no sync (EINVAL); they report failures on write or close.
    if (::fsync(fd_) != 0 && errno != EINVAL)
        fail(errno);
    struct stat written {};
    if (::fstat(fd_, &written) != 0)
        fail(errno);
    if (written.st_size != written_)
        fail(EIO);
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0)
        fail(errno);
    if (writing_ != target_ && ::rename(writing_.constData(), target_.constData()) != 0)
        fail(errno);
    committed_ = true;
}

bool moveFile(const QByteArray& source, const QByteArray& target) {
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) ==
        0)
        return true;
    if (errno == EINVAL || errno == ENOSYS) { // a file system that cannot refuse to replace
        struct stat existing {};
        if (::lstat(target.constData(), &existing) == 0)
            return false;
        if (::rename(source.constData(), target.constData()) == 0)
            return true;
    }
    // Another file system: copy, then remove the original.
    if (errno != EXDEV || !CheckedFile::copyToNew(source, target))
        return false;
    if (::unlink(source.constData()) == 0)
        return true;
    ::unlink(target.constData());
    return false;
}

} // namespace tb
