#pragma once

#include <string>
#include <string_view>
#include <vector>

// Playlist files (M3U): one entry per line, each line the entry's bytes exactly,
// followed by CR LF. No header, no byte-order mark, no encoding of its own.
namespace tb {

// Where a line of a playlist file ends. A CR always ends one, with one LF right
// after it belonging to that line end. Playlists written on Windows end lines with
// CR LF, and there a lone LF stays part of the line; elsewhere players write lone
// LFs, so there a lone LF ends a line too.
enum class M3uLineEnds { CrOnly, CrOrLf };
#ifdef _WIN32
inline constexpr M3uLineEnds kPlatformM3uLineEnds = M3uLineEnds::CrOnly;
#else
inline constexpr M3uLineEnds kPlatformM3uLineEnds = M3uLineEnds::CrOrLf;
#endif

// Appends the entry and its CR LF to out.
void appendM3uLine(std::string& out, std::string_view entry);

// Splits a file that is read in pieces into its lines. The first line is read before
// the end is tested, so an empty file gives one empty line, while a final line end
// adds no line of its own; a UTF-8 byte-order mark at the very start is no part of the
// first line. A line may span pieces: the unfinished line at a piece's end comes back
// as an open part, and the rest of that line is the first line of a later piece.
class M3uSplitter {
public:
    explicit M3uSplitter(M3uLineEnds lineEnds = kPlatformM3uLineEnds) : lineEnds_(lineEnds) {}

    // Adds to `lines` the lines that end in this piece, and returns the start of the
    // line that goes on after it. Nothing from a Ctrl-Z on is taken. Lines and the
    // open part are views into the piece, valid until the next call: while the
    // file's first three bytes are not all in, they are held back to tell a
    // byte-order mark, and what follows them comes from the splitter's own copy,
    // made once and kept while the splitter lives.
    std::string_view split(std::string_view piece, std::vector<std::string_view>& lines);
    // At the file's end: the bytes still held back, from a file of one or two bytes
    // that begin like a byte-order mark; they start the open line.
    std::string_view heldBack() const { return held_; }
    // At the file's end: whether the open line, its parts put together, is a line of
    // the file. A final line end adds no empty line, but an empty file has one.
    bool openLineCounts() const { return openBytes_ > 0 || !held_.empty() || endedLines_ == 0; }
    // Whether a Ctrl-Z has been read: nothing after it counts, so it need not be read.
    bool ctrlZRead() const { return ended_; }

private:
    M3uLineEnds lineEnds_;
    bool startSeen_ = false;   // the first three bytes were looked at
    bool lfMayFollow_ = false; // the last piece ended with a CR
    bool ended_ = false;       // a Ctrl-Z was read: nothing after it counts
    std::string held_;         // the file's first bytes, while they may begin a mark
    std::string joined_;       // those bytes and the piece after them
    std::size_t openBytes_ = 0;
    std::size_t endedLines_ = 0;
};

} // namespace tb
