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

// Splits a file that is read in pieces into the same lines as m3uLines. A line may
// span pieces: the unfinished line at a piece's end comes back as an open part,
// and the rest of that line is the first line of a later piece.
class M3uSplitter {
public:
    // Adds to `lines` the lines that end in this piece, and returns the start of the
    // line that goes on after it. Nothing from a Ctrl-Z on is taken.
    std::string_view split(std::string_view piece, std::vector<std::string_view>& lines);
    // At the file's end: whether the open line, its parts put together, is a line of
    // the file. A final line end adds no empty line, but an empty file has one.
    bool openLineCounts() const { return openBytes_ > 0 || endedLines_ == 0; }

private:
    bool lfMayFollow_ = false; // the last piece ended with a CR
    bool ended_ = false;       // a Ctrl-Z was read: nothing after it counts
    std::size_t openBytes_ = 0;
    std::size_t endedLines_ = 0;
};

} // namespace tb
