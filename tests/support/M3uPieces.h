#pragma once

// The lines of a playlist read in pieces of one size (the first may differ) up to its
// Ctrl-Z, each line's parts joined as the window appends them; standard library only,
// for the fuzzer too.
#include "playlist/formats/M3u.h"

#include <string>
#include <string_view>
#include <vector>

namespace tb::test {

inline std::vector<std::string> m3uLinesInPieces(std::string_view bytes, std::size_t pieceSize,
                                                 M3uLineEnds lineEnds, std::size_t firstSize = 0) {
    M3uSplitter splitter(lineEnds);
    std::vector<std::string> out;
    std::string open;
    std::vector<std::string_view> pieceLines;
    for (std::size_t at = 0, size = firstSize ? firstSize : pieceSize; at < bytes.size();
         at += size, size = pieceSize) {
        pieceLines.clear();
        const std::string_view rest = splitter.split(bytes.substr(at, size), pieceLines);
        for (std::string_view line : pieceLines) {
            out.push_back(open + std::string(line));
            open.clear();
        }
        open += rest;
        if (splitter.ctrlZRead())
            break; // as opening a playlist stops reading
    }
    if (splitter.openLineCounts())
        out.push_back(std::string(splitter.heldBack()) + open);
    return out;
}

} // namespace tb::test
