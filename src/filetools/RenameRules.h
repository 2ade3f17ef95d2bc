#pragma once

// The name a music file is offered when it is renamed, made of its tag's artist and
// title, and what a file system holds in a name.
#include <cstddef>
#include <string>
#include <string_view>

namespace tb::rename {

// text without the blanks at its end.
std::string_view withoutTrailingBlanks(std::string_view text);

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
// "07 - ABBA - SOS.mp3", its extension the file's own as extensionOf gives it. Artist
// and title lose their trailing blanks, and each of
// their bytes that the rule refuses in a name becomes "_". The texts may be UTF-8,
// whose sequences hold none of those bytes. Where the name would take more than
// MaxNameBytes, counted by countBytes, artist and title are cut at a character's end,
// the longer one first, so that the name with its extension fits.
std::string proposal(int listIndex, std::string_view artist, std::string_view title,
                     NameRule rule = kPlatformNameRule, CharacterBytes countBytes = utf8Bytes,
                     std::string_view extension = ".mp3");

// The extension a renamed file keeps: its name's from the last dot on (".flac"), as it
// is written; ".mp3" for a name without one, or one too long to be an extension.
std::string_view extensionOf(std::string_view name);

} // namespace tb::rename
