#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tb {

// One filter box entry: the label shown and its mask string.
struct FilterEntry {
    std::string label;
    std::string masks;
};

// Splits "label|masks|label|masks" into its entries; a trailing label without
// masks is dropped.
std::vector<FilterEntry> parseFilter(std::string_view filter);

// Splits a mask string at semicolons. Blanks around a mask are not part of it
// and empty masks are dropped. "*.*" becomes "*": it stands for every file,
// also one without a dot in its name.
std::vector<std::string> parseMaskList(std::string_view maskString);

} // namespace tb
