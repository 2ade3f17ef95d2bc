#pragma once

#include <string>
#include <string_view>
#include <vector>

// Playlist files (M3U): one entry per line, each line the entry's bytes exactly,
// followed by CR LF. No header, no byte-order mark, no encoding of its own.
namespace tb {

// Appends the entry and its CR LF to out.
void appendM3uLine(std::string& out, std::string_view entry);

// Reads the lines of a playlist file held in memory; the lines are views into it.
// A CR ends a line, and one LF right after it belongs to that line end; an LF on
// its own is part of the line. A Ctrl-Z byte or the end of the bytes ends the file.
class M3uReader {
public:
    explicit M3uReader(std::string_view bytes) : bytes_(bytes) {}

    bool atEnd() const;
    // The next line; at the end an empty one.
    std::string_view readLine();

private:
    std::string_view bytes_;
    std::size_t position_ = 0;
};

// Every line of a whole file. The first line is read before the end is tested, so
// an empty file gives one empty line, while a final CR LF adds no line of its own.
std::vector<std::string_view> m3uLines(std::string_view bytes);

// The lines of a file whose reading broke off after these bytes: those that a CR
// ends within them, as the rest may be cut short. All lines when a Ctrl-Z was read.
std::vector<std::string_view> m3uCompleteLines(std::string_view bytes);

} // namespace tb
