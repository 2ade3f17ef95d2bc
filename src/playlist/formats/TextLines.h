#pragma once

#include <cstddef>
#include <cstring>
#include <string_view>

namespace tb {

// Where the next of two byte values is, for positions that only go forward. Each value
// is looked up with memchr and its place kept until a search passes it: a byte loop
// (or find_first_of) took seconds over a line of 200 MB, and searching again for the
// other value at every position would make a file of one kind quadratic.
class EitherByte {
public:
    EitherByte(std::string_view bytes, char first, char second)
        : bytes_(bytes), values_{first, second} {}

    // The first place from `position` on that holds either value; the size where none does.
    std::size_t from(std::size_t position) {
        std::size_t found = bytes_.size();
        for (int i = 0; i < 2; ++i) {
            if (next_[i] < position || next_[i] == kUnknown)
                next_[i] = find(values_[i], position);
            found = next_[i] < found ? next_[i] : found;
        }
        return found;
    }

private:
    static constexpr std::size_t kUnknown = static_cast<std::size_t>(-1);

    std::size_t find(char value, std::size_t position) const {
        if (position >= bytes_.size())
            return bytes_.size();
        const void* at = std::memchr(bytes_.data() + position, value, bytes_.size() - position);
        return at ? static_cast<std::size_t>(static_cast<const char*>(at) - bytes_.data())
                  : bytes_.size();
    }

    std::string_view bytes_;
    char values_[2];
    std::size_t next_[2] = {kUnknown, kUnknown};
};

// The lines of a playlist file as today's players write them: LF, CR LF or a lone CR
// ends a line, and a UTF-8 byte-order mark at the very start is no part of the first.
// Lines are views into the bytes, so a long line is never copied here.
class TextLines {
public:
    explicit TextLines(std::string_view bytes)
        : bytes_(withoutByteOrderMark(bytes)), breaks_(bytes_, '\r', '\n') {}

    // The next line, without its line end; false after the last. A final line end
    // adds no empty line.
    bool next(std::string_view& line) {
        if (position_ >= bytes_.size())
            return false;
        const std::size_t end = breaks_.from(position_);
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
    static std::string_view withoutByteOrderMark(std::string_view bytes) {
        return bytes.starts_with("\xEF\xBB\xBF") ? bytes.substr(3) : bytes;
    }

    std::string_view bytes_;
    EitherByte breaks_;
    std::size_t position_ = 0;
    std::size_t number_ = 0;
};

// Whether the line holds nothing but blanks and tabs.
inline bool isBlankLine(std::string_view line) {
    return line.find_first_not_of(" \t") == std::string_view::npos;
}

} // namespace tb
