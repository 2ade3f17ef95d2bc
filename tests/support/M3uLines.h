#pragma once

// The lines of a whole playlist file found one byte at a time: the plain rule that the
// window's piece-wise splitter is checked against, by the unit tests and the fuzzer.
// Standard library only.
#include "playlist/M3u.h"

#include <string_view>
#include <vector>

namespace tb::test {

// Every line of the file. The first line is read before the end is tested, so an
// empty file gives one empty line, while a final line end adds no line of its own. A
// Ctrl-Z ends the file; a UTF-8 byte-order mark at the very start is no part of it.
inline std::vector<std::string_view> m3uLines(std::string_view bytes,
                                              M3uLineEnds lineEnds = kPlatformM3uLineEnds) {
    constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
    const bool lfEnds = lineEnds == M3uLineEnds::CrOrLf;
    std::size_t position = bytes.starts_with(kUtf8Bom) ? kUtf8Bom.size() : 0;
    std::vector<std::string_view> lines;
    do {
        const std::size_t begin = position;
        while (position < bytes.size() && bytes[position] != '\r' && bytes[position] != '\x1A' &&
               !(lfEnds && bytes[position] == '\n'))
            ++position;
        lines.push_back(bytes.substr(begin, position - begin));
        if (position < bytes.size() && bytes[position] == '\r') {
            ++position;
            if (position < bytes.size() && bytes[position] == '\n')
                ++position;
        } else if (position < bytes.size() && bytes[position] == '\n') {
            ++position;
        }
    } while (position < bytes.size() && bytes[position] != '\x1A');
    return lines;
}

} // namespace tb::test
