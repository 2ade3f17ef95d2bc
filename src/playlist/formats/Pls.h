#pragma once

#include "playlist/PlaylistItem.h"

#include <string>
#include <string_view>
#include <vector>

// PLS playlists, the INI-like files of Winamp and internet radio:
//
//   [playlist]
//   File1=<the entry's text>
//   Title1=<Artist> - <Title>
//   Length1=<seconds, -1 where unknown>
//   ...
//   NumberOfEntries=<N>
//   Version=2
//
// Written in UTF-8 without a byte-order mark, lines ending in LF, as the M3U8 files.
namespace tb {

// The whole file. TitleN is left out where an entry has no info. An entry holding a CR
// or an LF throws PlaylistFormatError naming it; line breaks inside a title become blanks.
std::string writePls(const std::vector<PlaylistItem>& items);

// Every entry, in the order of the numbers. Key names are read in any case, and
// lines starting with ";" or "#" are comments; sections other than [playlist] are
// skipped. Throws PlaylistFormatError, with the line where it can, when there is no
// [playlist] section, a key is numbered wrongly or twice, a File is missing for some
// number, a Length is no number, NumberOfEntries disagrees with the File keys, or a
// line is longer than 1 MB.
// Nothing is allocated from the counts that the file claims.
std::vector<PlaylistItem> readPls(std::string_view bytes);

} // namespace tb
