#pragma once

#include <cstddef>
#include <string_view>

namespace tb {

// The lines of a playlist file as today's players write them: LF, CR LF or a lone CR
// ends a line, and a UTF-8 byte-order mark at the very start is no part of the first.
// Lines are views into the bytes, so a long line is never copied here.
class TextLines {
public:
    explicit TextLines(std::string_view bytes) : bytes_(bytes) {
        if (bytes_.starts_with("\xEF\xBB\xBF"))
            bytes_.remove_prefix(3);
    }

    // The next line, without its line end; false after the last. A final line end
    // adds no empty line.
    bool next(std::string_view& line) {
        if (position_ >= bytes_.size())
            return false;
        std::size_t end = bytes_.find_first_of("\r\n", position_);
        if (end == std::string_view::npos)
            end = bytes_.size();
        line = bytes_.substr(position_, end - position_);
        position_ = end + 1;
        if (end < bytes_.size() && bytes_[end] == '\r' && position_ < bytes_.size() &&
            bytes_[position_] == '\n')
            ++position_;
        ++number_;
        return true;
    }

    // The number of the line last read, from 1.
    std::size_t number() const { return number_; }

private:
    std::string_view bytes_;
    std::size_t position_ = 0;
    std::size_t number_ = 0;
};

// Whether the line holds nothing but blanks and tabs.
inline bool isBlankLine(std::string_view line) {
    return line.find_first_not_of(" \t") == std::string_view::npos;
}

} // namespace tb
