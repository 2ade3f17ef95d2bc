#pragma once

// ID3v2 tags: the tag at the start of an MP3 file that today's encoders write, read
// with TagLib. Only its six texts are taken, as UTF-8.
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace tb::id3v2 {

// The tag's header, which declares the size of the rest.
inline constexpr std::size_t HeaderSize = 10;
// The most of a tag that is read, frame headers included. A tag may be declared as
// large as 256 MB, mostly pictures, and reading the texts must not cost more than a
// moment.
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

// The genre that one value of a genre frame names: a code, bare ("17") or in
// parentheses ("(17)"), by the ID3v1 genre table (empty where it has no name), "RX"
// and "CR" as "Remix" and "Cover", and any other text as it stands.
std::string genreOfText(std::string_view value);

// Up to `size` bytes of a file from `offset` on; fewer at the file's end.
using ReadAt = std::function<std::string(std::size_t offset, std::size_t size)>;

// The tag at the file's start with only the frames that readTexts shows, the others
// passed over by the sizes in their headers, so that a large picture before the texts
// is never read. At most ReadLimit bytes are asked for in all. Where the tag's frames
// cannot be told apart without undoing its unsynchronisation (versions 2.2 and 2.3),
// its first ReadLimit bytes as they stand. Empty where the file begins no tag.
std::string shownFrames(const ReadAt& readAt);

// The texts of the tag at the start of tagBytes, which may end anywhere: a frame cut
// short and any after it are left out. Frames holding several values show them
// joined by " / ". Nothing where the bytes begin no tag.
std::optional<Texts> readTexts(std::string_view tagBytes);

} // namespace tb::id3v2
