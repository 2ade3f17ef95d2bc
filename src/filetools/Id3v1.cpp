#include "filetools/Id3v1.h"

#include <array>

namespace tb::id3v1 {

namespace {

// Codes 0 to 147, eight to a row; a long row goes on in the next line.
// clang-format off
constexpr std::array<std::string_view, GenreCount> kGenres = {
    "Blues", "Classic Rock", "Country", "Dance", "Disco", "Funk", "Grunge", "Hip-Hop",
    "Jazz", "Metal", "New Age", "Oldies", "Other", "Pop", "R&B", "Rap",
    "Reggae", "Rock", "Techno", "Industrial", "Alternative", "Ska", "Death Metal", "Pranks",
    "Soundtrack", "Euro-Techno", "Ambient", "Trip-Hop", "Vocal", "Jazz+Funk", "Fusion", "Trance",
    "Classical", "Instrumental", "Acid", "House", "Game", "Sound Clip", "Gospel", "Noise",
    "Alt. Rock", "Bass", "Soul", "Punk", "Space", "Meditative", "Instrumental Pop",
    "Instrumental Rock",
    "Ethnic", "Gothic", "Darkwave", "Techno-Industrial", "Electronic", "Pop-Folk", "Eurodance",
    "Dream",
    "Southern Rock", "Comedy", "Cult", "Gangsta Rap", "Top 40", "Christian Rap", "Pop/Funk",
    "Jungle",
    "Native American", "Cabaret", "New Wave", "Psychedelic", "Rave", "Showtunes", "Trailer",
    "Lo-Fi",
    "Tribal", "Acid Punk", "Acid Jazz", "Polka", "Retro", "Musical", "Rock & Roll", "Hard Rock",
    "Folk", "Folk/Rock", "National Folk", "Swing", "Fast-Fusion", "Bebob", "Latin", "Revival",
    "Celtic", "Bluegrass", "Avantgarde", "Gothic Rock", "Progressive Rock", "Psychedelic Rock",
    "Symphonic Rock", "Slow Rock",
    "Big Band", "Chorus", "Easy Listening", "Acoustic", "Humour", "Speech", "Chanson", "Opera",
    "Chamber Music", "Sonata", "Symphony", "Booty Bass", "Primus", "Porn Groove", "Satire",
    "Slow Jam",
    "Club", "Tango", "Samba", "Folklore", "Ballad", "Power Ballad", "Rhythmic Soul", "Freestyle",
    "Duet", "Punk Rock", "Drum Solo", "A Cappella", "Euro-House", "Dance Hall", "Goa",
    "Drum & Bass",
    "Club-House", "Hardcore", "Terror", "Indie", "BritPop", "Negerpunk", "Polsk Punk", "Beat",
    "Christian Gangsta Rap", "Heavy Metal", "Black Metal", "Crossover", "Contemporary Christian",
    "Christian Rock", "Merengue", "Salsa",
    "Thrash Metal", "Anime", "JPop", "Synthpop",
};
// clang-format on

// A text field ends at its first NUL; without one it is the whole field.
std::string textField(std::string_view tag, std::size_t offset, std::size_t length) {
    const std::string_view field = tag.substr(offset, length);
    return std::string(field.substr(0, field.find('\0')));
}

} // namespace

std::optional<Tag> parseTail(std::string_view fileEnd) {
    if (fileEnd.size() < TagSize)
        return std::nullopt;
    const std::string_view tag = fileEnd.substr(fileEnd.size() - TagSize);
    if (tag.substr(0, 3) != "TAG")
        return std::nullopt;
    Tag result;
    result.title = textField(tag, 3, 30);
    result.artist = textField(tag, 33, 30);
    result.album = textField(tag, 63, 30);
    result.year = textField(tag, 93, 4);
    result.comment = textField(tag, 97, 30);
    result.genre = static_cast<std::uint8_t>(tag[127]);
    return result;
}

std::string_view genreName(std::uint8_t code) {
    return code < kGenres.size() ? kGenres[code] : std::string_view();
}

} // namespace tb::id3v1
