#pragma once

#include "platform/IoError.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace tb {

// One entry as the playlist formats of today's players carry it: the entry's own text
// and what a player shows for it. Each format holds these fields:
//
//   field         M3U8                          PLS          XSPF
//   text          the line after #EXTINF        FileN        <location>, percent-encoded
//   info          #EXTINF:<s>,<info>            TitleN       (formed from title, creator)
//   title         (in info)                     (in TitleN)  <title>
//   artist        (in info)                     (in TitleN)  <creator>
//   album         -                             -            <album>
//   milliseconds  #EXTINF:<seconds>, rounded    LengthN (s)  <duration> (ms)
struct PlaylistItem {
    std::string text;   // the entry's bytes, as the playlist shows them
    std::string info;   // "Artist - Title" as read from a file, UTF-8; empty: formed from below
    std::string title;  // UTF-8
    std::string artist; // UTF-8
    std::string album;  // UTF-8
    std::int64_t milliseconds = -1; // the audio's length; negative where it is unknown
    std::string file; // the path of the entry's file, bytes; empty where it is not known
};

// The line a player shows: the info read with the entry, else "Artist - Title", or
// whichever of the two there is.
inline std::string infoLine(const PlaylistItem& item) {
    if (!item.info.empty())
        return item.info;
    if (item.artist.empty())
        return item.title;
    if (item.title.empty())
        return item.artist;
    return item.artist + " - " + item.title;
}

// Whole seconds, rounded half up; -1 where the length is unknown, as players write it.
inline std::int64_t roundedSeconds(const PlaylistItem& item) {
    return item.milliseconds < 0 ? -1 : (item.milliseconds + 500) / 1000;
}

// A playlist file that cannot be read, or items that its format cannot hold. It is an
// I/O error, so that every handler shows it in the error box; the message is Czech.
class PlaylistFormatError : public IoError {
public:
    explicit PlaylistFormatError(const std::string& message) : IoError(0, message) {}
};

} // namespace tb
