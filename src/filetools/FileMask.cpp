#include "filetools/FileMask.h"

namespace tb {

namespace {
std::vector<std::string_view> split(std::string_view text, char delimiter) {
    std::vector<std::string_view> parts;
    for (;;) {
        const std::size_t at = text.find(delimiter);
        parts.push_back(text.substr(0, at));
        if (at == std::string_view::npos)
            return parts;
        text.remove_prefix(at + 1);
    }
}

std::string_view trimBlanks(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}
} // namespace

std::vector<FilterEntry> parseFilter(std::string_view filter) {
    const std::vector<std::string_view> parts = split(filter, '|');
    std::vector<FilterEntry> entries;
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2)
        entries.push_back({std::string(parts[i]), std::string(parts[i + 1])});
    return entries;
}

std::vector<std::string> parseMaskList(std::string_view maskString) {
    std::vector<std::string> masks;
    for (std::string_view mask : split(maskString, ';')) {
        mask = trimBlanks(mask);
        if (mask.empty())
            continue;
        masks.emplace_back(mask == "*.*" ? std::string_view("*") : mask);
    }
    return masks;
}

} // namespace tb
