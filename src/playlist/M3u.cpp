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

std::vector<std::string_view> m3uCompleteLines(std::string_view bytes) {
    if (bytes.find(kCtrlZ) != std::string_view::npos)
        return m3uLines(bytes);
    const std::size_t lastCr = bytes.rfind(kCr);
    if (lastCr == std::string_view::npos)
        return {};
    return m3uLines(bytes.substr(0, lastCr + 1));
}

} // namespace tb
