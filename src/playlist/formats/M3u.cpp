#include "playlist/formats/M3u.h"

#include "playlist/formats/TextLines.h"

#include <algorithm>
#include <bit>
#include <cstdint>
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
// The line breaks and the Ctrl-Z of one piece, found 64 bytes at a time, one bit a
// byte. Written by hand because memchr finds one byte value and a line here ends at
// either of two: with a memchr call for each, the split of a large playlist took
// longer than reading it.
class LineBreaks {
public:
    LineBreaks(std::string_view piece, M3uLineEnds lineEnds)
        : piece_(piece), cr_(_mm_set1_epi8(kCr)),
          lf_(_mm_set1_epi8(lineEnds == M3uLineEnds::CrOrLf ? kLf : kCr)),
          ctrlZ_(_mm_set1_epi8(kCtrlZ)) {}

    // The first line break or Ctrl-Z from `begin` on; the piece's size where there is
    // none. Each call starts at or after the one before.
    std::size_t endOfLineFrom(std::size_t begin) {
        const std::size_t chunk = begin - begin % kChunk;
        if (chunk != chunk_) {
            chunk_ = chunk;
            breaks_ = breaksFrom(chunk);
        }
        std::uint64_t left = breaks_ & (~std::uint64_t{0} << (begin - chunk));
        while (left == 0) {
            chunk_ += kChunk;
            if (chunk_ >= piece_.size())
                return piece_.size();
            breaks_ = left = breaksFrom(chunk_);
        }
        return chunk_ + static_cast<std::size_t>(std::countr_zero(left));
    }

private:
    static constexpr std::size_t kChunk = 64;

    // One bit for each break among the 64 bytes from `at`. The piece's last bytes
    // are copied out first, so nothing beyond it is read.
    std::uint64_t breaksFrom(std::size_t at) const {
        // Cleared only for the piece's last bytes: clearing it for every chunk cost
        // four stores each on the open's busiest path.
        alignas(16) char last[kChunk];
        const char* bytes = piece_.data() + at;
        if (piece_.size() - at < kChunk) {
            std::memset(last, 0, kChunk); // zeros: never a break
            std::memcpy(last, bytes, piece_.size() - at);
            bytes = last;
        }
        std::uint64_t breaks = 0;
        for (std::size_t part = 0; part < kChunk / 16; ++part) {
            const __m128i sixteen = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes) + part);
            const __m128i found = _mm_or_si128(
                _mm_or_si128(_mm_cmpeq_epi8(sixteen, cr_), _mm_cmpeq_epi8(sixteen, lf_)),
                _mm_cmpeq_epi8(sixteen, ctrlZ_));
            breaks |= static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(found)))
                      << (16 * part);
        }
        return breaks;
    }

    std::string_view piece_;
    __m128i cr_;
    __m128i lf_; // another CR where a lone LF is part of the line
    __m128i ctrlZ_;
    std::size_t chunk_ = static_cast<std::size_t>(-1); // where the bits in breaks_ start
    std::uint64_t breaks_ = 0;
};
#else
// The line breaks and the Ctrl-Z of one piece, looked up with memchr: a byte loop
// made opening a large playlist twice as slow.
class LineBreaks {
public:
    LineBreaks(std::string_view piece, M3uLineEnds lineEnds)
        : breaks_(piece, kCr, lineEnds == M3uLineEnds::CrOrLf ? kLf : kCr),
          ctrlZ_(std::min(piece.find(kCtrlZ), piece.size())) {}

    // The first line break or Ctrl-Z from `begin` on; the piece's size where there is none.
    std::size_t endOfLineFrom(std::size_t begin) { return std::min(breaks_.from(begin), ctrlZ_); }

private:
    EitherByte breaks_;
    std::size_t ctrlZ_;
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
    LineBreaks breaks(piece, lineEnds_);
    std::size_t begin = 0;
    for (std::size_t end = breaks.endOfLineFrom(begin); end < piece.size();
         end = breaks.endOfLineFrom(begin)) {
        if (piece[end] == kCtrlZ) { // nothing after it counts
            piece = piece.substr(0, end);
            ended_ = true;
            break;
        }
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
