#pragma once

#include "playlist/formats/EntryFile.h"
#include "playlist/PlaylistItem.h"

#include <string>
#include <string_view>
#include <vector>

// XSPF playlists, version 1, the XML of VLC, Strawberry and Audacious:
//
//   <playlist version="1" xmlns="http://xspf.org/ns/0/"><trackList>
//     <track><location>…</location><title>…</title><creator>…</creator>
//            <album>…</album><duration>milliseconds</duration></track>…
//
// The location is written as the entry's URI reference (file:/// for an absolute path,
// a relative reference for a relative one, percent-encoded byte for byte), so entries
// come back exactly; the other texts are UTF-8.
namespace tb {

// The whole file, in UTF-8. A track without an artist or a title takes the info as
// its title. Characters that XML cannot hold (control characters) become blanks.
std::string writeXspf(const std::vector<PlaylistItem>& items);

// Every track, in order. A location that is no URI reference is taken as a plain path,
// as some players write them, and so is one whose decoded path names no file (by
// `fileOf`) while the text as written does. Throws PlaylistFormatError for XML that is
// not well formed, a root other than <playlist>, any document type declaration
// (entities are refused before any is expanded), a track without a location, a
// duration that is no number, and a text longer than kXspfMostTextBytes.
std::vector<PlaylistItem> readXspf(std::string_view bytes, const EntryFileLookup& fileOf = {});

// The longest text of one element that is read, in UTF-8 bytes: far beyond any path
// or title, and small enough that a huge one costs little memory before it is refused.
inline constexpr std::size_t kXspfMostTextBytes = std::size_t{1} << 20;

} // namespace tb
