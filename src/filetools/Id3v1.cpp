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

std::string_view withoutTrailingBlanks(std::string_view text) {
    const std::size_t last = text.find_last_not_of(' ');
    return last == std::string_view::npos ? std::string_view() : text.substr(0, last + 1);
}

std::string genreOfText(std::string_view value) {
    std::string_view code = value;
    if (code.size() > 2 && code.front() == '(' && code.back() == ')')
        code = code.substr(1, code.size() - 2);
    if (code == "RX")
        return "Remix";
    if (code == "CR")
        return "Cover";
    const bool digits = !code.empty() && code.size() <= 3 &&
                        code.find_first_not_of("0123456789") == std::string_view::npos;
    if (digits) {
        const int number = std::stoi(std::string(code));
        if (number <= 255)
            return std::string(genreName(static_cast<std::uint8_t>(number)));
    }
    return std::string(value);
}

namespace {

bool refusedInName(char c, NameRule rule) {
    if (c == '\0' || c == '/')
        return true;
    if (rule == NameRule::Posix)
        return false;
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || std::string_view("\\:*?\"<>|").find(c) != std::string_view::npos;
}

std::string usableInName(std::string_view text, NameRule rule) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text)
        out += refusedInName(c, rule) ? '_' : c;
    return out;
}

// Where the character that starts at `at` ends: after its UTF-8 continuation bytes. A stray
// continuation byte counts as a character of its own, so nothing valid is ever split.
std::size_t characterEnd(std::string_view text, std::size_t at) {
    std::size_t end = at + 1;
    while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        ++end;
    return end;
}

std::size_t bytesInName(std::string_view text, CharacterBytes bytesOf) {
    std::size_t bytes = 0;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = characterEnd(text, at);
        bytes += bytesOf(text.substr(at, end - at));
        at = end;
    }
    return bytes;
}

// The longest start of text, ending at a character's end, that takes at most room bytes.
std::string_view cutToFit(std::string_view text, std::size_t room, CharacterBytes bytesOf) {
    std::size_t used = 0, at = 0;
    while (at < text.size()) {
        const std::size_t end = characterEnd(text, at);
        used += bytesOf(text.substr(at, end - at));
        if (used > room)
            break;
        at = end;
    }
    return withoutTrailingBlanks(text.substr(0, at));
}

} // namespace

std::string renameProposal(int listIndex, std::string_view artist, std::string_view title,
                           NameRule rule, CharacterBytes bytesOf) {
    const int number = listIndex + 1;
    std::string proposal = number < 10 ? "0" : "";
    proposal += std::to_string(number);
    proposal += " - ";
    constexpr std::string_view separator = " - ", extension = ".mp3";
    // The number, the blanks, the dashes and ".mp3" are one byte a character everywhere.
    const std::size_t fixed = proposal.size() + separator.size() + extension.size();
    const std::size_t room = MaxNameBytes > fixed ? MaxNameBytes - fixed : 0;

    const std::string artistPart = usableInName(withoutTrailingBlanks(artist), rule);
    const std::string titlePart = usableInName(withoutTrailingBlanks(title), rule);
    std::size_t artistRoom = bytesInName(artistPart, bytesOf);
    std::size_t titleRoom = bytesInName(titlePart, bytesOf);
    if (artistRoom + titleRoom > room) {
        // A text that needs less than half the room stays whole; the other gets the rest.
        const std::size_t half = room / 2;
        if (artistRoom <= half)
            titleRoom = room - artistRoom;
        else if (titleRoom <= half)
            artistRoom = room - titleRoom;
        else {
            artistRoom = half;
            titleRoom = room - half;
        }
    }
    proposal += cutToFit(artistPart, artistRoom, bytesOf);
    proposal += separator;
    proposal += cutToFit(titlePart, titleRoom, bytesOf);
    proposal += extension;
    return proposal;
}

} // namespace tb::id3v1
