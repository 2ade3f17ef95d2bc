#include "playlist/formats/M3u.h"

#include "playlist/formats/TextLines.h"

#include <bit>
#include <cstring>
#include <utility>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#endif

namespace tb {

namespace {
constexpr char kCr = '\r';
constexpr char kLf = '\n';
constexpr char kCtrlZ = '\x1A';
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

#if defined(__SSE2__) || defined(_M_X64)
// The line breaks of one piece that holds no Ctrl-Z, sixteen bytes at a time.
// Written by hand because memchr finds one byte value and a line here ends at
// either of two: with a memchr call for each, the split of a large playlist took
// longer than reading it.
class LineBreaks {
public:
    LineBreaks(std::string_view piece, M3uLineEnds lineEnds)
        : piece_(piece), cr_(_mm_set1_epi8(kCr)),
          lf_(_mm_set1_epi8(lineEnds == M3uLineEnds::CrOrLf ? kLf : kCr)) {}

    // Where the line that starts at begin ends; the piece's size where it goes on.
    std::size_t endOfLineFrom(std::size_t begin) const {
        for (std::size_t at = begin; at < piece_.size(); at += kBlock) {
            if (const unsigned breaks = breaksFrom(at))
                return at + static_cast<std::size_t>(std::countr_zero(breaks));
        }
        return piece_.size();
    }

private:
    static constexpr std::size_t kBlock = 16;

    // One bit for each line break among the sixteen bytes from `at`. The piece's
    // last bytes are copied out first, so nothing beyond it is read.
    unsigned breaksFrom(std::size_t at) const {
        __m128i bytes;
        if (piece_.size() - at >= kBlock) {
            bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(piece_.data() + at));
        } else {
            char last[kBlock] = {}; // zeros: never a line break
            std::memcpy(last, piece_.data() + at, piece_.size() - at);
            bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(last));
        }
        const __m128i breaks = _mm_or_si128(_mm_cmpeq_epi8(bytes, cr_), _mm_cmpeq_epi8(bytes, lf_));
        return static_cast<unsigned>(_mm_movemask_epi8(breaks));
    }

    std::string_view piece_;
    __m128i cr_;
    __m128i lf_; // another CR where a lone LF is part of the line
};
#else
// The line breaks of one piece that holds no Ctrl-Z, looked up with memchr: a byte
// loop made opening a large playlist twice as slow.
class LineBreaks {
public:
    LineBreaks(std::string_view piece, M3uLineEnds lineEnds)
        : breaks_(piece, kCr, lineEnds == M3uLineEnds::CrOrLf ? kLf : kCr) {}

    // Where the line that starts at begin ends; the piece's size where it goes on.
    std::size_t endOfLineFrom(std::size_t begin) { return breaks_.from(begin); }

private:
    EitherByte breaks_;
};
#endif
} // namespace

void appendM3uLine(std::string& out, std::string_view entry) {
    out.append(entry);
    out += kCr;
    out += kLf;
}

std::string_view M3uSplitter::split(std::string_view piece, std::vector<std::string_view>& lines) {
    if (ended_)
        return {};
    if (!startSeen_) {
        if (held_.empty() && piece.size() >= kUtf8Bom.size()) {
            startSeen_ = true;
            if (piece.starts_with(kUtf8Bom))
                piece.remove_prefix(kUtf8Bom.size());
        } else {
            held_.append(piece);
            if (held_.size() < kUtf8Bom.size() && kUtf8Bom.starts_with(held_))
                return {};
            startSeen_ = true;
            joined_ = std::exchange(held_, std::string());
            if (std::string_view(joined_).starts_with(kUtf8Bom))
                joined_.erase(0, kUtf8Bom.size());
            piece = joined_;
        }
    }
    if (lfMayFollow_ && !piece.empty()) {
        lfMayFollow_ = false;
        if (piece.front() == kLf)
            piece.remove_prefix(1);
    }
    const std::size_t ctrlZ = piece.find(kCtrlZ);
    if (ctrlZ != std::string_view::npos) {
        piece = piece.substr(0, ctrlZ);
        ended_ = true;
    }
    LineBreaks breaks(piece, lineEnds_);
    std::size_t begin = 0;
    for (std::size_t end = breaks.endOfLineFrom(begin); end < piece.size();
         end = breaks.endOfLineFrom(begin)) {
        lines.push_back(piece.substr(begin, end - begin));
        ++endedLines_;
        openBytes_ = 0;
        begin = end + 1;
        if (piece[end] != kCr)
            continue;
        if (begin == piece.size())
            lfMayFollow_ = !ended_;
        else if (piece[begin] == kLf)
            ++begin;
    }
    openBytes_ += piece.size() - begin;
    return piece.substr(begin);
}

} // namespace tb
