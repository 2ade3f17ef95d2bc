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

// text without the blanks at its end.
std::string_view withoutTrailingBlanks(std::string_view text);

// The genre that one value of an ID3v2 genre frame names: a code, bare ("17") or in
// parentheses ("(17)"), by the genre table above (empty where it has no name), "RX"
// and "CR" as "Remix" and "Cover", and any other text as it stands.
std::string genreOfText(std::string_view value);

// Which characters a file system cannot hold in a name: NUL and "/" anywhere, and on
// Windows also the control characters and \ : * ? " < > |.
enum class NameRule { Posix, Windows };
#ifdef _WIN32
inline constexpr NameRule kPlatformNameRule = NameRule::Windows;
#else
inline constexpr NameRule kPlatformNameRule = NameRule::Posix;
#endif

// The longest name, in bytes, that ext4, NTFS, exFAT and FAT's long names hold.
inline constexpr std::size_t MaxNameBytes = 255;

// How many bytes one character, given as its UTF-8 sequence, takes in a file name.
using CharacterBytes = std::size_t (*)(std::string_view character);
inline std::size_t utf8Bytes(std::string_view character) {
    return character.size();
}

// The name proposed for the file at listIndex (counted from 0) when it is renamed:
// "07 - ABBA - SOS.mp3". Artist and title lose their trailing blanks, and each of
// their bytes that the rule refuses in a name becomes "_". The texts may be UTF-8,
// whose sequences hold none of those bytes. Where the name would take more than
// MaxNameBytes, counted by bytesOf, artist and title are cut at a character's end,
// the longer one first, so that the name with its ".mp3" fits.
std::string renameProposal(int listIndex, std::string_view artist, std::string_view title,
                           NameRule rule = kPlatformNameRule, CharacterBytes bytesOf = utf8Bytes);

} // namespace tb::id3v1
