#include "playlist/formats/Pls.h"

#include "playlist/formats/TextLines.h"

#include <algorithm>
#include <charconv>
#include <cstdint>

namespace tb {

namespace {
constexpr std::size_t kShownKeyBytes = 40;
// The longest line read: far beyond any path or title. A longer one is no playlist
// line, and holding it as an entry would cost its size again.
constexpr std::size_t kMostLineBytes = std::size_t{1} << 20;

bool sameIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               const auto lower = [](char c) {
                   return c >= 'A' && c <= 'Z' ? char(c + 32) : c;
               };
               return lower(x) == lower(y);
           });
}

bool startsIgnoringCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && sameIgnoringCase(text.substr(0, prefix.size()), prefix);
}

std::string_view trimmed(std::string_view text) {
    const std::size_t begin = text.find_first_not_of(" \t");
    if (begin == std::string_view::npos)
        return {};
    return text.substr(begin, text.find_last_not_of(" \t") - begin + 1);
}

[[noreturn]] void fail(std::size_t line, const std::string& what) {
    throw PlaylistFormatError("Chybný playlist PLS, řádek " + std::to_string(line) + ": " + what);
}

std::string shownKey(std::string_view key) {
    std::string shown(key.substr(0, kShownKeyBytes));
    if (key.size() > kShownKeyBytes)
        shown += "…";
    return "„" + shown + "“";
}

// A whole decimal number; false for anything else, signs and blanks included.
template <typename Number> bool readNumber(std::string_view text, Number& number) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    return error == std::errc() && end == text.data() + text.size();
}

void appendOneLine(std::string& out, std::string_view text) {
    for (const char c : text)
        out += c == '\r' || c == '\n' ? ' ' : c;
}

enum class Field { File, Title, Length };

// One numbered key as read; the items are put together once all lines are in, since
// keys may come in any order.
struct NumberedValue {
    std::uint64_t number;
    Field field;
    std::string_view key;
    std::string_view value;
    std::size_t line;
};
} // namespace

std::string writePls(const std::vector<PlaylistItem>& items) {
    std::string out = "[playlist]\n";
    for (std::size_t i = 0; i < items.size(); ++i) {
        const PlaylistItem& item = items[i];
        if (item.text.find_first_of("\r\n") != std::string::npos)
            throw PlaylistFormatError("Položka " + std::to_string(i + 1) +
                                      " obsahuje konec řádku, do playlistu PLS ji nelze zapsat");
        const std::string number = std::to_string(i + 1);
        out += "File" + number + "=" + item.text + "\n";
        if (const std::string info = infoLine(item); !info.empty()) {
            out += "Title" + number + "=";
            appendOneLine(out, info);
            out += '\n';
        }
        out += "Length" + number + "=" + std::to_string(roundedSeconds(item)) + "\n";
    }
    out += "NumberOfEntries=" + std::to_string(items.size()) + "\nVersion=2\n";
    return out;
}

std::vector<PlaylistItem> readPls(std::string_view bytes) {
    std::vector<NumberedValue> values;
    std::size_t files = 0;
    bool sectionSeen = false;
    bool inPlaylist = false;
    std::string_view claimedCount;
    std::size_t claimedCountLine = 0;
    bool versionSeen = false;

    TextLines lines(bytes);
    std::string_view line;
    while (lines.next(line)) {
        if (line.size() > kMostLineBytes)
            fail(lines.number(),
                 "řádek je delší než " + std::to_string(kMostLineBytes >> 20) + " MB");
        const std::string_view text = trimmed(line);
        if (text.empty() || text.starts_with(';') || text.starts_with('#'))
            continue;
        if (text.starts_with('[')) {
            inPlaylist = sameIgnoringCase(text, "[playlist]");
            sectionSeen = sectionSeen || inPlaylist;
            continue;
        }
        if (!inPlaylist)
            continue;
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos)
            fail(lines.number(), "chybí „=“");
        const std::string_view key = trimmed(line.substr(0, equals));
        const std::string_view value = line.substr(equals + 1);
        if (sameIgnoringCase(key, "NumberOfEntries")) {
            if (claimedCountLine != 0)
                fail(lines.number(), "klíč NumberOfEntries je uveden podruhé");
            claimedCount = trimmed(value);
            claimedCountLine = lines.number();
            continue;
        }
        if (sameIgnoringCase(key, "Version")) {
            if (versionSeen)
                fail(lines.number(), "klíč Version je uveden podruhé");
            versionSeen = true;
            continue;
        }
        Field field;
        std::string_view digits;
        if (startsIgnoringCase(key, "File"))
            field = Field::File, digits = key.substr(4);
        else if (startsIgnoringCase(key, "Title"))
            field = Field::Title, digits = key.substr(5);
        else if (startsIgnoringCase(key, "Length"))
            field = Field::Length, digits = key.substr(6);
        else
            continue; // a key of some other program's
        std::uint64_t number = 0;
        if (!readNumber(digits, number) || number == 0)
            fail(lines.number(), "klíč " + shownKey(key) + " nemá platné pořadové číslo");
        values.push_back({number, field, key, value, lines.number()});
        files += field == Field::File;
    }
    if (!sectionSeen)
        throw PlaylistFormatError("Soubor není playlist PLS: chybí oddíl [playlist]");
    if (claimedCountLine != 0) {
        std::uint64_t claimed = 0;
        if (!readNumber(claimedCount, claimed))
            fail(claimedCountLine, "NumberOfEntries není číslo");
        if (claimed != files)
            fail(claimedCountLine, "NumberOfEntries uvádí " + std::string(claimedCount) +
                                       " položek, klíčů File je " + std::to_string(files));
    }

    // Every number from 1 to the count of File keys must have its File, so a File
    // numbered beyond that count leaves some number below it without one.
    std::vector<PlaylistItem> items(files);
    std::vector<unsigned char> seen(files, 0); // one bit per field
    for (const NumberedValue& numbered : values) {
        if (numbered.number > files) {
            if (numbered.field == Field::File)
                continue; // the gap below it is named after this loop
            fail(numbered.line, "chybí klíč File" + std::to_string(numbered.number));
        }
        const std::size_t index = static_cast<std::size_t>(numbered.number - 1);
        const auto bit = static_cast<unsigned char>(1u << static_cast<int>(numbered.field));
        if (seen[index] & bit)
            fail(numbered.line, "klíč " + shownKey(numbered.key) + " je uveden podruhé");
        seen[index] |= bit;
        PlaylistItem& item = items[index];
        switch (numbered.field) {
        case Field::File:
            item.text.assign(numbered.value);
            break;
        case Field::Title:
            item.info.assign(numbered.value);
            break;
        case Field::Length: {
            std::int64_t seconds = 0;
            if (!readNumber(trimmed(numbered.value), seconds))
                fail(numbered.line,
                     "délka " + shownKey(trimmed(numbered.value)) + " není celé číslo");
            item.milliseconds = seconds < 0 || seconds > INT64_MAX / 1000 ? -1 : seconds * 1000;
            break;
        }
        }
    }
    const auto noFile = std::find_if(seen.begin(), seen.end(), [](unsigned char fields) {
        return (fields & (1u << static_cast<int>(Field::File))) == 0;
    });
    if (noFile != seen.end())
        throw PlaylistFormatError("Chybný playlist PLS: chybí klíč File" +
                                  std::to_string(noFile - seen.begin() + 1));
    return items;
}

} // namespace tb
