#pragma once

// ID3v2 tags: the tag at the start of an MP3 file that today's encoders write, read
// with TagLib. Only its six texts are taken, as UTF-8.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tb::id3v2 {

// The tag's header, which declares the size of the rest.
inline constexpr std::size_t HeaderSize = 10;
// The most of a tag that is read. Text frames come first in the tags that encoders
// write; a tag may be declared as large as 256 MB, mostly pictures, and reading the
// texts must not cost more than a moment.
inline constexpr std::size_t ReadLimit = std::size_t{1} << 20;

// The whole size, header and footer included, that a tag of version 2.2 to 2.4 at
// the start of these bytes declares; 0 where they begin no such tag.
std::size_t declaredSize(std::string_view header);

struct Texts {
    std::string title;
    std::string artist;
    std::string album;
    std::string year;
    std::string comment;
    std::string genre;
};

// The texts of the tag at the start of tagBytes, which may end anywhere: a frame cut
// short and any after it are left out. Frames holding several values show them
// joined by " / ". Nothing where the bytes begin no tag.
std::optional<Texts> readTexts(std::string_view tagBytes);

} // namespace tb::id3v2
