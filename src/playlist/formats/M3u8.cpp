#include "playlist/formats/M3u8.h"

#include "playlist/formats/TextLines.h"

#include <charconv>

namespace tb {

namespace {
constexpr std::string_view kHeader = "#EXTM3U";
constexpr std::string_view kInfoTag = "#EXTINF:";

// Whether the text begins with "#" after any number of "./". An entry that begins with
// "#" would read as a comment everywhere, so it goes out behind "./": "./#1 Hit.mp3"
// names the same file, here and for other players. Our reader takes one "./" off such
// a line again, and an entry that already stood so ("./#…") gets one more, so every
// entry comes back with its own bytes.
bool hashBehindDots(std::string_view text) {
    while (text.starts_with("./"))
        text.remove_prefix(2);
    return text.starts_with('#');
}
// The longest length read, in seconds (about 31,000 years): more is no audio's length.
constexpr std::int64_t kMostSeconds = 999'999'999'999;

void appendOneLine(std::string& out, std::string_view text) {
    for (const char c : text)
        out += c == '\r' || c == '\n' ? ' ' : c;
}

// "<seconds>[ attributes],<info>": the seconds may have a fraction, and attributes that
// IPTV lists put between them and the comma may hold commas inside quotes.
void readInfoLine(std::string_view rest, PlaylistItem& item) {
    item.milliseconds = -1;
    item.info.clear();
    std::size_t at = rest.find_first_not_of(' ');
    if (at == std::string_view::npos)
        return;
    std::int64_t seconds = 0;
    const char* begin = rest.data() + at;
    const char* end = rest.data() + rest.size();
    const auto [stop, error] = std::from_chars(begin, end, seconds);
    if (error == std::errc() && seconds >= 0 && seconds <= kMostSeconds) {
        std::int64_t milliseconds = seconds * 1000;
        const char* digit = stop;
        if (digit != end && *digit == '.') {
            int scale = 100;
            for (++digit; digit != end && *digit >= '0' && *digit <= '9'; ++digit, scale /= 10)
                milliseconds += (*digit - '0') * scale;
        }
        // Kept only where its whole seconds, as they are written back, are read again.
        if ((milliseconds + 500) / 1000 <= kMostSeconds)
            item.milliseconds = milliseconds;
    }
    bool quoted = false;
    for (; at < rest.size(); ++at) {
        if (rest[at] == '"')
            quoted = !quoted;
        else if (rest[at] == ',' && !quoted)
            break;
    }
    if (at < rest.size())
        item.info.assign(rest.substr(at + 1));
}
} // namespace

std::string writeM3u8(const std::vector<PlaylistItem>& items) {
    std::size_t size = kHeader.size() + 1;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const std::string& text = items[i].text;
        if (text.find_first_of("\r\n") != std::string::npos)
            throw PlaylistFormatError("Položka " + std::to_string(i + 1) +
                                      " obsahuje konec řádku, do playlistu M3U8 ji nelze zapsat");
        size += text.size() + 2 + items[i].info.size() + items[i].title.size() +
                items[i].artist.size() + 40;
    }
    std::string out;
    out.reserve(size);
    out += kHeader;
    out += '\n';
    for (const PlaylistItem& item : items) {
        const std::string info = infoLine(item);
        if (!info.empty() || item.milliseconds >= 0) {
            out += kInfoTag;
            out += std::to_string(roundedSeconds(item));
            out += ',';
            appendOneLine(out, info);
            out += '\n';
        }
        if (hashBehindDots(item.text))
            out += "./";
        out += item.text;
        out += '\n';
    }
    return out;
}

bool beginsExtendedM3u(std::string_view bytes) {
    if (bytes.starts_with("\xEF\xBB\xBF"))
        bytes.remove_prefix(3);
    // Players put attributes after it in lists of streams: "#EXTM3U url-tvg=…".
    return bytes.starts_with(kHeader) &&
           (bytes.size() == kHeader.size() ||
            std::string_view("\r\n \t").find(bytes[kHeader.size()]) != std::string_view::npos);
}

std::vector<PlaylistItem> readM3u8(std::string_view bytes) {
    std::vector<PlaylistItem> items;
    PlaylistItem next;
    TextLines lines(bytes);
    std::string_view line;
    while (lines.next(line)) {
        if (line.starts_with(kInfoTag))
            readInfoLine(line.substr(kInfoTag.size()), next);
        else if (line.starts_with('#') || isBlankLine(line))
            continue;
        else {
            if (line.starts_with("./") && hashBehindDots(line))
                line.remove_prefix(2);
            next.text.assign(line);
            items.push_back(std::move(next));
            next = PlaylistItem();
        }
    }
    return items;
}

} // namespace tb
