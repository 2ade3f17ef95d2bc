#pragma once

#include <string>
#include <string_view>

namespace tb {

// What stands before each file name added to the playlist.
enum class PrefixMode {
    FullPath,         // "C:\DATA\MP3\"
    PathWithoutDrive, // "DATA\MP3\"
    LastDirectory,    // "MP3\"
    Text,             // the user's own text, nothing added
    Nothing,
};

struct PrefixContext {
    std::string_view directoryText; // the shown directory, native bytes
    std::string_view driveRoot;     // root of the drive that holds it
    char separator;
    std::string_view text; // the user's text for PrefixMode::Text
};

std::string formPrefix(PrefixMode mode, const PrefixContext& context);

// The playlist entry for a bare file name: prefix followed by the name.
std::string playlistEntry(PrefixMode mode, const PrefixContext& context, std::string_view name);

} // namespace tb
