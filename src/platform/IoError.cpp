#include "platform/IoError.h"

#include <cerrno>

#ifdef _WIN32
#include <windows.h>
#endif

namespace tb {

namespace {
// Codes kept for the messages that have no system error number of their own.
constexpr int kEndOfFileCode = 100;
} // namespace

std::string ioErrorMessage(int errnum) {
    switch (errnum) {
    case ENOENT:
        return "File not found";
    case ENOTDIR:
    case ENAMETOOLONG:
    case EINVAL:
    case EILSEQ:
        return "Invalid filename";
    case EMFILE:
    case ENFILE:
        return "Too many open files";
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case EBUSY:
        return "File access denied";
    case ENOSPC:
#ifdef EDQUOT // not on Windows
    case EDQUOT:
#endif
    case EFBIG:
        return "Disk full";
    default:
        return "I/O error " + std::to_string(errnum);
    }
}

IoError IoError::fromErrno(int errnum) {
    return IoError(errnum, ioErrorMessage(errnum));
}

#ifdef _WIN32
// The system's own numbers; a path that does not exist reads as a bad file name,
// as it always has on Windows.
std::string windowsErrorMessage(unsigned long code) {
    switch (code) {
    case ERROR_FILE_NOT_FOUND:
        return "File not found";
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_DIRECTORY:
        return "Invalid filename";
    case ERROR_TOO_MANY_OPEN_FILES:
        return "Too many open files";
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
        return "File access denied";
    case ERROR_HANDLE_DISK_FULL:
    case ERROR_DISK_FULL:
        return "Disk full";
    default:
        return "I/O error " + std::to_string(code);
    }
}

IoError IoError::fromWindowsError(unsigned long code) {
    return IoError(static_cast<int>(code), windowsErrorMessage(code));
}
#endif

IoError IoError::endOfFile() {
    return IoError(kEndOfFileCode, "Read beyond end of file");
}

std::string errorBoxText(std::string_view message) {
    std::string text(message);
    if (!text.empty() && static_cast<unsigned char>(text.back()) > static_cast<unsigned char>('.'))
        text += '.';
    return text;
}

} // namespace tb
