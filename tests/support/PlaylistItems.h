#pragma once

// Playlist items made in one call; standard library only, for the core tests too.
#include "playlist/PlaylistItem.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tb::test {

inline PlaylistItem playlistItem(std::string text, std::string info, std::string title,
                                 std::string artist, std::int64_t milliseconds,
                                 std::string album = {}) {
    return {text, info, title, artist, album, milliseconds, {}};
}

// What a reader gives back of each item: its text, info and length.
struct ReadItem {
    std::string text;
    std::string info;
    std::int64_t milliseconds;
    bool operator==(const ReadItem&) const = default;
};

inline std::vector<ReadItem> readItems(const std::vector<PlaylistItem>& items) {
    std::vector<ReadItem> out;
    for (const PlaylistItem& item : items)
        out.push_back({item.text, item.info, item.milliseconds});
    return out;
}

} // namespace tb::test
