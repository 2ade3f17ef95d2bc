#include "platform/RegularFile.h"

#include "platform/IoError.h"

#include <QFile>

#ifdef Q_OS_WIN
#include <QDir>
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tb {

IoError RegularFile::ioError(int error) {
#ifdef Q_OS_WIN
    return IoError::fromWindowsError(static_cast<unsigned long>(error));
#else
    return IoError::fromErrno(error);
#endif
}

#ifdef Q_OS_WIN

namespace {

// The absolute form of a name, as the system resolves it; the name itself when
// that fails.
std::wstring fullPathName(const std::wstring& name) {
    const DWORD needed = ::GetFullPathNameW(name.c_str(), 0, nullptr, nullptr);
    if (needed == 0)
        return name;
    std::wstring full(needed, L'\0');
    const DWORD length = ::GetFullPathNameW(name.c_str(), needed, full.data(), nullptr);
    if (length == 0 || length >= needed)
        return name;
    full.resize(length);
    return full;
}

} // namespace

std::wstring windowsFileName(const QString& path) {
    const std::wstring name = QDir::toNativeSeparators(path).toStdWString();
    const std::wstring full = fullPathName(name);
    if (full.size() + 1 < MAX_PATH || full.starts_with(L"\\\\?\\") || full.starts_with(L"\\\\.\\"))
        return name;
    // The literal form takes no relative parts, hence the full name.
    if (full.starts_with(L"\\\\"))
        return L"\\\\?\\UNC\\" + full.substr(2);
    if (full.size() >= 3 && full[1] == L':' && full[2] == L'\\')
        return L"\\\\?\\" + full;
    return name;
}

bool namesWindowsDevice(const QString& path) {
    // Reserved names (CON, NUL, COM1...) resolve into the device namespace. A file
    // named there on purpose (\\.\C:\...) is refused too, which loses nothing.
    return fullPathName(QDir::toNativeSeparators(path).toStdWString()).starts_with(L"\\\\.\\");
}

RegularFile::RegularFile(const QString& path) {
    // The name is checked before opening: opening a pipe or a device may wait or
    // have effects of its own.
    if (namesWindowsDevice(path))
        throw IoError::fromWindowsError(ERROR_ACCESS_DENIED);
    const std::wstring name = windowsFileName(path);
    const DWORD attributes = ::GetFileAttributesW(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        throw IoError::fromWindowsError(::GetLastError());
    if (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE))
        throw IoError::fromWindowsError(ERROR_ACCESS_DENIED);
    // Others may go on using the file, as they may beside a POSIX descriptor.
    const HANDLE handle = ::CreateFileW(
        name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        throw IoError::fromWindowsError(::GetLastError());
    // Checked again on the handle, should the name have been replaced meanwhile.
    BY_HANDLE_FILE_INFORMATION opened{};
    DWORD failure = 0;
    if (::GetFileType(handle) != FILE_TYPE_DISK)
        failure = ERROR_ACCESS_DENIED;
    else if (!::GetFileInformationByHandle(handle, &opened))
        failure = ::GetLastError();
    else if (opened.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        failure = ERROR_ACCESS_DENIED;
    if (failure != 0) {
        ::CloseHandle(handle);
        throw IoError::fromWindowsError(failure);
    }
    handle_ = handle;
    permissions_ = (opened.dwFileAttributes & FILE_ATTRIBUTE_READONLY) ? 0444 : 0666;
}

// The program's byte names are in the ANSI code page, which decodeName reads.
RegularFile::RegularFile(const QByteArray& nativePath)
    : RegularFile(QFile::decodeName(nativePath)) {}

RegularFile::~RegularFile() {
    ::CloseHandle(handle_);
}

qint64 RegularFile::read(char* data, qint64 capacity) {
    // One ReadFile takes a DWORD's worth at most.
    const DWORD wanted = static_cast<DWORD>(qMin<qint64>(capacity, qint64(1) << 30));
    DWORD got = 0;
    if (::ReadFile(handle_, data, wanted, &got, nullptr))
        return got;
    const DWORD failure = ::GetLastError();
    if (failure == ERROR_HANDLE_EOF)
        return 0;
    error_ = static_cast<int>(failure);
    return -1;
}

bool RegularFile::seek(qint64 position) {
    LARGE_INTEGER start{};
    start.QuadPart = position;
    if (::SetFilePointerEx(handle_, start, nullptr, FILE_BEGIN))
        return true;
    error_ = static_cast<int>(::GetLastError());
    return false;
}

#else

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

bool RegularFile::seek(qint64 position) {
    if (::lseek(fd_, static_cast<off_t>(position), SEEK_SET) == position)
        return true;
    error_ = errno;
    return false;
}

#endif

} // namespace tb
