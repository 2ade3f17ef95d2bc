#pragma once

#include <string>
#include <string_view>
#include <vector>

// Directory texts are native absolute paths without a trailing separator, except
// the root of a drive or of the file system ("C:\", "/"). These helpers take the
// separator and the drive roots as parameters so that one code path serves both
// path styles.
namespace tb {

// The root of the drive that holds the directory: the longest of driveRoots that
// is the whole text or ends where a separator follows. Empty when none fits.
std::string driveRootOf(std::string_view directoryText, const std::vector<std::string>& driveRoots,
                        char separator);

// The directory text without its drive's root and without the separator after it:
// "C:\DATA\MP3" on "C:\" gives "DATA\MP3", "/media/usb/ROCK" on "/media/usb" gives
// "ROCK", and a drive's root itself gives "".
std::string withoutDriveRoot(std::string_view directoryText, std::string_view driveRoot,
                             char separator);

// The part after the last separator: "C:\DATA\MP3" gives "MP3", "C:\" and "/" give "".
std::string lastDirectory(std::string_view directoryText, char separator);

// The directory text, one separator and the name; at a root this doubles the
// separator ("C:\\song.mp3"), as the rest of the program expects.
std::string joinPath(std::string_view directoryText, std::string_view name, char separator);

} // namespace tb
