#include "playlist/M3u.h"

namespace tb {

namespace {
constexpr char kCr = '\r';
constexpr char kLf = '\n';
constexpr char kCtrlZ = '\x1A';
} // namespace

void appendM3uLine(std::string& out, std::string_view entry) {
    out.append(entry);
    out += kCr;
    out += kLf;
}

bool M3uReader::atEnd() const {
    return position_ >= bytes_.size() || bytes_[position_] == kCtrlZ;
}

std::string_view M3uReader::readLine() {
    const std::size_t begin = position_;
    std::size_t end = begin;
    while (end < bytes_.size() && bytes_[end] != kCr && bytes_[end] != kCtrlZ)
        ++end;
    position_ = end;
    if (end < bytes_.size() && bytes_[end] == kCr) {
        ++position_;
        if (position_ < bytes_.size() && bytes_[position_] == kLf)
            ++position_;
    }
    return bytes_.substr(begin, end - begin);
}

std::vector<std::string_view> m3uLines(std::string_view bytes) {
    M3uReader reader(bytes);
    std::vector<std::string_view> lines;
    do
        lines.push_back(reader.readLine());
    while (!reader.atEnd());
    return lines;
}

std::string_view M3uSplitter::split(std::string_view piece, std::vector<std::string_view>& lines) {
    if (ended_)
        return {};
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
    std::size_t begin = 0;
    for (std::size_t cr = piece.find(kCr); cr != std::string_view::npos;
         cr = piece.find(kCr, begin)) {
        lines.push_back(piece.substr(begin, cr - begin));
        ++endedLines_;
        openBytes_ = 0;
        begin = cr + 1;
        if (begin == piece.size())
            lfMayFollow_ = !ended_;
        else if (piece[begin] == kLf)
            ++begin;
    }
    openBytes_ += piece.size() - begin;
    return piece.substr(begin);
}

} // namespace tb
