#pragma once

#include "playlist/formats/EntryFile.h"
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

// What the program knows of one kind of playlist file; one row of a table, so that
// another kind is one more row. A plain M3U has no whole-file reader: the window reads
// and, as entered, writes its lines as they come, so that a playlist of millions of lines
// needs no second copy. Its writer serves the saves that first rewrite the entries as
// their files' paths.
struct PlaylistFormatRow {
    PlaylistFormat format;
    const char* suffix; // without the dot
    const char* filter; // the type in the save and open dialogs
    // Every entry of a whole file; `fileOf` tells the file an entry's text names,
    // for a reader that chooses between readings of a text. Throws
    // PlaylistFormatError for bytes that are no playlist of the kind.
    std::vector<PlaylistItem> (*read)(std::string_view bytes, const EntryFileLookup& fileOf);
    // The whole file, after the save read each entry's file for its tag and length.
    // Throws PlaylistFormatError for an entry that the kind cannot hold.
    std::string (*write)(const std::vector<PlaylistItem>& items);
};

// The row of a format.
const PlaylistFormatRow& formatRow(PlaylistFormat format);

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

// Whether the bytes name something that is there and is no folder (through a link too).
// Names are bytes, which Qt's file classes cannot always spell.
bool entryFileExists(const std::string& path);

// Whether the bytes name a regular file (through a link too), as an entry's file must
// be: a FIFO or a device, read for its tag, could hold the save up for good.
bool isEntryFile(const std::string& path);

// The format an open or append reads the file in: by its extension; for a .m3u or a
// name of no format's, M3U8 where the file begins with the #EXTM3U line (as players
// write extended M3U under any name), else M3U. Only that name's first bytes are read, and
// a file that cannot be read is taken for M3U, whose reading then reports it.
PlaylistFormat formatToRead(const QString& path);

// Every entry of a playlist file in a format with a reader (all but M3U), each with
// the file it names where that exists, an M3U8's infos from Windows-1250 where they
// are not UTF-8 (see resolveEntryFile; relative names from the
// playlist's folder). Throws IoError when the file cannot be read and
// PlaylistFormatError when it is no playlist of its format; nothing is returned then.
std::vector<PlaylistItem> readPlaylistFile(const QString& path, PlaylistFormat format);

// The same for bytes already read; `playlistFolder` is the folder's path as bytes.
std::vector<PlaylistItem> readPlaylistBytes(std::string_view bytes, PlaylistFormat format,
                                            std::string_view playlistFolder);

} // namespace tb
