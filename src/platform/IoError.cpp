#include "platform/IoError.h"

#include <cerrno>

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
    case EDQUOT:
    case EFBIG:
        return "Disk full";
    default:
        return "I/O error " + std::to_string(errnum);
    }
}

IoError IoError::fromErrno(int errnum) {
    return IoError(errnum, ioErrorMessage(errnum));
}

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
