#pragma once

// Playlist items made in one call, for the tests of the playlist formats. Standard
// library only, so that the core tests can use it too.
#include "playlist/PlaylistItem.h"

#include <cstdint>
#include <string>

namespace tb::test {

inline PlaylistItem playlistItem(std::string text, std::string info, std::string title,
                                 std::string artist, std::int64_t milliseconds,
                                 std::string album = {}) {
    PlaylistItem item;
    item.text = std::move(text);
    item.info = std::move(info);
    item.title = std::move(title);
    item.artist = std::move(artist);
    item.album = std::move(album);
    item.milliseconds = milliseconds;
    return item;
}

} // namespace tb::test
