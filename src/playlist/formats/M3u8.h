#pragma once

#include "playlist/PlaylistItem.h"

#include <string>
#include <string_view>
#include <vector>

// Extended M3U in UTF-8 (.m3u8), as today's players write and read it:
//
//   #EXTM3U
//   #EXTINF:<seconds>,<Artist> - <Title>
//   <the entry's text>
//
// Written without a byte-order mark, every line ending in LF: players on every system
// read LF, while a CR left at a path's end by a reader that splits at LF alone would
// name no file.
namespace tb {

// The whole file. An entry's text goes out byte for byte, so a path keeps naming its
// file whatever the bytes, but for one that begins with "#", which goes out as
// "./#…" (the same file) so that no reader takes it for a comment; an entry holding a CR or an LF
// cannot be one line and throws PlaylistFormatError naming it, before anything is
// written. Line breaks inside an
// info become blanks, since the info is only shown.
std::string writeM3u8(const std::vector<PlaylistItem>& items);

// Whether the bytes begin with the #EXTM3U line (after a UTF-8 byte-order mark), as
// extended M3U does whatever the file's name; ten bytes are enough to tell.
bool beginsExtendedM3u(std::string_view bytes);

// Every entry of the file. #EXTM3U may be missing; an #EXTINF line gives the next
// entry its seconds and info; other lines that begin with "#" and blank lines are no
// entries. LF, CR LF and lone CRs end lines; a byte-order mark is dropped. Entry texts
// are the lines' bytes as they stand, but for the "./" that the writer put before
// an entry beginning with "#", which is taken off again. Never throws for the contents (any text is
// an M3U8), only when memory runs out.
std::vector<PlaylistItem> readM3u8(std::string_view bytes);

} // namespace tb
