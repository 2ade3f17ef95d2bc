#include "platform/CheckedFile.h"

#include "platform/IoError.h"
#include "platform/RegularFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <windows.h>

namespace tb {

void CheckedFile::setTarget(const QString& path) {
    // A link is followed, so that the file it names is replaced, not the link; a
    // shortcut (.lnk) is a file of its own, not a link to follow.
    const QFileInfo info(path);
    target_ = info.isSymbolicLink() ? info.symLinkTarget() : path;
}

namespace {

[[noreturn]] void fail(DWORD code) {
    throw IoError::fromWindowsError(code);
}

[[noreturn]] void failWithLastError() {
    fail(::GetLastError());
}

// One WriteFile takes a DWORD's worth at most.
constexpr std::size_t kLargestWrite = std::size_t(1) << 30;

// Removes a file, a read-only one too (as unlink does on POSIX). A file that stays
// keeps its attributes; GetLastError() then tells why.
bool removeFile(const QString& path) {
    const std::wstring name = windowsFileName(path);
    if (::DeleteFileW(name.c_str()))
        return true;
    const DWORD failure = ::GetLastError();
    const DWORD attributes = ::GetFileAttributesW(name.c_str());
    if (failure != ERROR_ACCESS_DENIED || attributes == INVALID_FILE_ATTRIBUTES ||
        !(attributes & FILE_ATTRIBUTE_READONLY)) {
        ::SetLastError(failure);
        return false;
    }
    const DWORD writable = attributes & ~DWORD(FILE_ATTRIBUTE_READONLY);
    if (!::SetFileAttributesW(name.c_str(), writable != 0 ? writable : FILE_ATTRIBUTE_NORMAL))
        return false;
    if (::DeleteFileW(name.c_str()))
        return true;
    const DWORD again = ::GetLastError();
    ::SetFileAttributesW(name.c_str(), attributes);
    ::SetLastError(again);
    return false;
}

// The handles that write also read the attributes, which a plain GENERIC_WRITE
// does not allow.
constexpr DWORD kWriteAccess = GENERIC_WRITE | FILE_READ_ATTRIBUTES;

// An open handle that is a file on a disk, not a device, pipe or directory.
bool isRegularFile(HANDLE handle) {
    BY_HANDLE_FILE_INFORMATION opened{};
    return ::GetFileType(handle) == FILE_TYPE_DISK &&
           ::GetFileInformationByHandle(handle, &opened) &&
           !(opened.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace

void CheckedFile::discard() {
    if (handle_ != nullptr)
        ::CloseHandle(handle_);
    handle_ = nullptr;
    if (removeOnFailure_ && !writing_.isEmpty())
        removeFile(writing_);
    writing_.clear();
}

void CheckedFile::open(Mode mode, unsigned permissions) {
    // A device's name opens the device, and would make the temporary name one too.
    if (namesWindowsDevice(target_))
        fail(ERROR_ACCESS_DENIED);
    // Names are made before the calls whose GetLastError() is read.
    const std::wstring name = windowsFileName(target_);
    attributes_ = FILE_ATTRIBUTE_NORMAL;
    if (mode == Mode::CreateNew) {
        // Made read-only only once written, as the handle must write it first.
        readOnly_ = (permissions & 0222) == 0;
        const HANDLE handle = ::CreateFileW(name.c_str(), kWriteAccess, FILE_SHARE_READ, nullptr,
                                            CREATE_NEW, attributes_, nullptr);
        if (handle == INVALID_HANDLE_VALUE)
            failWithLastError();
        handle_ = handle;
        writing_ = target_;
        return;
    }
    const DWORD existing = ::GetFileAttributesW(name.c_str());
    const bool replacing = existing != INVALID_FILE_ATTRIBUTES;
    if (replacing) {
        // Only a file is replaced, and a read-only one stays as it is.
        if (existing & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE | FILE_ATTRIBUTE_READONLY))
            fail(ERROR_ACCESS_DENIED);
        // The new file keeps the earlier one's visible attributes.
        const DWORD kept =
            existing & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE);
        if (kept != 0)
            attributes_ = kept;
    } else if (::GetLastError() != ERROR_FILE_NOT_FOUND) {
        failWithLastError();
    }
    openTemporary(permissions, replacing);
}

// The attributes come from open(): a replaced file keeps its own, a new one is writable.
void CheckedFile::openTemporary(unsigned /*permissions*/, bool /*replacing*/) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString name = target_ + QLatin1Char('.') +
                             QString::number(QRandomGenerator::global()->generate(), 36);
        const std::wstring wideName = windowsFileName(name);
        const HANDLE handle = ::CreateFileW(wideName.c_str(), kWriteAccess, FILE_SHARE_READ,
                                            nullptr, CREATE_NEW, attributes_, nullptr);
        if (handle != INVALID_HANDLE_VALUE) {
            handle_ = handle;
            writing_ = name;
            return;
        }
        const DWORD failure = ::GetLastError();
        // A folder that takes no new file, or a name too long for a longer one.
        if (failure == ERROR_ACCESS_DENIED || failure == ERROR_FILENAME_EXCED_RANGE ||
            failure == ERROR_INVALID_NAME)
            return openInPlace();
        if (failure != ERROR_FILE_EXISTS && failure != ERROR_ALREADY_EXISTS)
            fail(failure);
    }
    fail(ERROR_FILE_EXISTS);
}

void CheckedFile::openInPlace() {
    // The earlier file itself is written, so it must never be removed.
    removeOnFailure_ = false;
    const std::wstring name = windowsFileName(target_);
    const HANDLE handle = ::CreateFileW(name.c_str(), kWriteAccess, FILE_SHARE_READ, nullptr,
                                        OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        failWithLastError();
    handle_ = handle;
    writing_ = target_;
    if (!isRegularFile(handle))
        fail(ERROR_ACCESS_DENIED);
    if (!::SetEndOfFile(handle)) // a new handle stands at the first byte
        failWithLastError();
}

void CheckedFile::write(std::string_view bytes) {
    while (!bytes.empty()) {
        const DWORD wanted = static_cast<DWORD>(qMin(bytes.size(), kLargestWrite));
        DWORD done = 0;
        if (!::WriteFile(handle_, bytes.data(), wanted, &done, nullptr))
            failWithLastError();
        if (done == 0)
            fail(ERROR_WRITE_FAULT);
        written_ += done;
        bytes.remove_prefix(done);
    }
}

void CheckedFile::commit() {
    // Some file systems take no flush; they report failures on write or close.
    if (!::FlushFileBuffers(handle_) && ::GetLastError() != ERROR_INVALID_FUNCTION)
        failWithLastError();
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(handle_, &size))
        failWithLastError();
    if (size.QuadPart != written_)
        fail(ERROR_WRITE_FAULT);
    if (readOnly_) {
        FILE_BASIC_INFO basic{};
        if (!::GetFileInformationByHandleEx(handle_, FileBasicInfo, &basic, sizeof basic))
            failWithLastError();
        // Times of zero are left as they are.
        basic.CreationTime = basic.LastAccessTime = basic.LastWriteTime = basic.ChangeTime = {};
        basic.FileAttributes |= FILE_ATTRIBUTE_READONLY;
        if (!::SetFileInformationByHandle(handle_, FileBasicInfo, &basic, sizeof basic))
            failWithLastError();
    }
    const HANDLE handle = handle_;
    handle_ = nullptr;
    if (!::CloseHandle(handle))
        failWithLastError();
    if (writing_ != target_) {
        const std::wstring from = windowsFileName(writing_);
        const std::wstring to = windowsFileName(target_);
        if (!::MoveFileExW(from.c_str(), to.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            failWithLastError();
    }
    committed_ = true;
}

bool moveFile(const QByteArray& sourceBytes, const QByteArray& targetBytes) {
    // The program's byte names are in the ANSI code page, which decodeName reads.
    const QString from = QFile::decodeName(sourceBytes);
    const QString to = QFile::decodeName(targetBytes);
    // The file itself is an existing name too, though the system would take it;
    // another case of the same name is a rename.
    if (QDir::cleanPath(QFileInfo(from).absoluteFilePath()) ==
        QDir::cleanPath(QFileInfo(to).absoluteFilePath()))
        return false;
    const std::wstring source = windowsFileName(from);
    const std::wstring target = windowsFileName(to);
    // Never MOVEFILE_REPLACE_EXISTING; nor MOVEFILE_COPY_ALLOWED, whose copy stays,
    // reported as moved, when the original cannot be removed.
    if (::MoveFileExW(source.c_str(), target.c_str(), 0))
        return true;
    if (::GetLastError() != ERROR_NOT_SAME_DEVICE ||
        !CheckedFile::copyToNew(sourceBytes, targetBytes))
        return false;
    if (removeFile(from))
        return true;
    removeFile(to);
    return false;
}

} // namespace tb
