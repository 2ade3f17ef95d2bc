#pragma once

#include <QString>

namespace tb {

// The root of the system drive: "C:\" on Windows, "/" elsewhere.
QString systemDriveRoot();
// Where the directory list starts on a first run: the system drive's root on Windows,
// elsewhere the user's music folder when it exists, else the home folder.
QString firstRunDirectory();
// The text put before file names in the "Text" prefix mode until the user types another:
// "MP3" and the platform's separator.
QString defaultPrefixText();
// The player command used until the user picks one.
QString defaultPlayerCommand();
// The user's cache folder, created if missing, native separators, no trailing separator.
QString cacheFolder();
// The directory of the program file, with a trailing separator.
QString programDirectory();
// The first existing file `name` beside the executable, then in the application data folders.
QString findDataFile(const QString& name);
// Qt's path turned into a directory text: absolute, cleaned, native separators,
// no trailing separator except at a root.
QString directoryText(const QString& path);

} // namespace tb
