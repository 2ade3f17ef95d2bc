#pragma once

// ID3v1 tags: the 128 bytes at the end of an MP3 file. Texts stay the tag's own
// single bytes (Windows-1250 in practice); decoding them is the caller's business.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tb::id3v1 {

inline constexpr std::size_t TagSize = 128;
// Names exist for codes 0 to 147; higher codes (255 marks "no genre") have none.
inline constexpr int GenreCount = 148;

struct Tag {
    std::string title;
    std::string artist;
    std::string album;
    std::string year;
    std::string comment;
    std::uint8_t genre = 0;
};

// Reads the tag from the last 128 bytes of fileEnd, which may be a whole file or
// just its tail. Nothing when fileEnd is shorter than a tag or its last 128 bytes
// do not begin with "TAG" (upper case, byte for byte).
std::optional<Tag> parseTail(std::string_view fileEnd);

// The genre's name; empty for codes without one.
std::string_view genreName(std::uint8_t code);

} // namespace tb::id3v1
