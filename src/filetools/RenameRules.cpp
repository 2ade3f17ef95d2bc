#include "filetools/RenameRules.h"

namespace tb::rename {

std::string_view withoutTrailingBlanks(std::string_view text) {
    const std::size_t last = text.find_last_not_of(' ');
    return last == std::string_view::npos ? std::string_view() : text.substr(0, last + 1);
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

std::size_t bytesInName(std::string_view text, CharacterBytes countBytes) {
    std::size_t bytes = 0;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = characterEnd(text, at);
        bytes += countBytes(text.substr(at, end - at));
        at = end;
    }
    return bytes;
}

// The longest start of text, ending at a character's end, that takes at most room bytes.
std::string_view cutToFit(std::string_view text, std::size_t room, CharacterBytes countBytes) {
    std::size_t used = 0, at = 0;
    while (at < text.size()) {
        const std::size_t end = characterEnd(text, at);
        used += countBytes(text.substr(at, end - at));
        if (used > room)
            break;
        at = end;
    }
    return withoutTrailingBlanks(text.substr(0, at));
}

} // namespace

std::string proposal(int listIndex, std::string_view artist, std::string_view title, NameRule rule,
                     CharacterBytes countBytes, std::string_view extension) {
    const int number = listIndex + 1;
    std::string proposal = number < 10 ? "0" : "";
    proposal += std::to_string(number);
    proposal += " - ";
    constexpr std::string_view separator = " - ";
    const std::size_t fixed =
        proposal.size() + separator.size() + bytesInName(extension, countBytes);
    const std::size_t room = MaxNameBytes > fixed ? MaxNameBytes - fixed : 0;

    const std::string artistPart = usableInName(withoutTrailingBlanks(artist), rule);
    const std::string titlePart = usableInName(withoutTrailingBlanks(title), rule);
    std::size_t artistRoom = bytesInName(artistPart, countBytes);
    std::size_t titleRoom = bytesInName(titlePart, countBytes);
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
    proposal += cutToFit(artistPart, artistRoom, countBytes);
    proposal += separator;
    proposal += cutToFit(titlePart, titleRoom, countBytes);
    proposal += extension;
    return proposal;
}

std::string_view extensionOf(std::string_view name) {
    // Longer than any music kind's by a margin, so that "a.b c d" keeps its whole name.
    constexpr std::size_t kLongestExtension = 16;
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot == 0 || dot + 1 == name.size() ||
        name.size() - dot > kLongestExtension + 1)
        return ".mp3";
    return name.substr(dot);
}

} // namespace tb::rename
