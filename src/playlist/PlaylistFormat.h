#pragma once

#include "playlist/PlaylistItem.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

// The four kinds of playlist file, told apart by the name's extension: the plain
// M3U of old (.m3u), extended M3U in UTF-8 with titles and lengths (.m3u8), PLS and
// XSPF.
namespace tb {

enum class PlaylistFormat { M3u, M3u8, Pls, Xspf };

// The save dialog's type list, one filter per format in the order above.
QStringList playlistSaveFilters();

// The format that a filter of that list stands for; M3U for any other text.
PlaylistFormat formatOfFilter(const QString& filter);

// The format that the name's extension (in any case) names; nothing for another
// extension or none.
std::optional<PlaylistFormat> formatOfName(const QString& path);

// The extension of a format, without the dot: "m3u", "m3u8", "pls", "xspf".
QString formatSuffix(PlaylistFormat format);

// Where and how a save writes. A name typed with one of the four extensions is
// written in that format; one with another extension keeps its name and takes the
// chosen filter's format; one without an extension gets the chosen filter's.
struct SaveTarget {
    QString path;
    PlaylistFormat format;
};
SaveTarget saveTarget(const QString& chosenPath, const QString& chosenFilter);

// Whether the bytes name a file that is there (through a link too), as an entry's file.
// Names are bytes, which Qt's file classes cannot always spell.
bool entryFileExists(const std::string& path);

// The format an open or append reads the file in: by its extension, M3U for any other.
PlaylistFormat formatToRead(const QString& path);

// Every entry of a playlist file, each with the file it names where that exists
// (see resolveEntryFile; relative names from the playlist's folder). M3U lines are
// entries as they stand; the other formats bring what they say of each entry too.
// Throws IoError when the file cannot be read and PlaylistFormatError when it is no
// playlist of its format; nothing is returned then.
std::vector<PlaylistItem> readPlaylistFile(const QString& path, PlaylistFormat format);

// The same for bytes already read; `playlistFolder` is the folder's path as bytes.
std::vector<PlaylistItem> readPlaylistBytes(std::string_view bytes, PlaylistFormat format,
                                            std::string_view playlistFolder);

} // namespace tb
