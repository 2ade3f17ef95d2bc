#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace tb {

// The one error type that file routines throw. It carries the message that the
// application-wide error box shows ("File not found" and the rest).
class IoError : public std::runtime_error {
public:
    IoError(int code, const std::string& message) : std::runtime_error(message), code_(code) {}

    // Maps a system error number (errno) to the program's message.
    static IoError fromErrno(int errnum);
    // A read that got fewer bytes than it asked for.
    static IoError endOfFile();

    int code() const { return code_; }

#ifdef _WIN32
    // Maps a Windows error value (GetLastError) to the program's message.
    static IoError fromWindowsError(unsigned long code);
#endif

private:
    int code_;
};

std::string ioErrorMessage(int errnum);
#ifdef _WIN32
std::string windowsErrorMessage(unsigned long code);
#endif

// The text of the application-wide error box: a full stop is added when the
// message's last character has a code above that of the full stop, so
// "File not found" gains one while "disk nepřístupný!" does not.
std::string errorBoxText(std::string_view message);

} // namespace tb
