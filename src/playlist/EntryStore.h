#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace tb {

// The playlist's entries as raw bytes, kept back to back in one buffer with an
// end offset per entry. A million entries of forty bytes take about 48 MB here,
// where a vector of std::string would take twice that in small allocations.
class EntryStore {
public:
    std::size_t size() const { return ends_.size(); }
    bool empty() const { return ends_.empty(); }

    std::string_view at(std::size_t index) const {
        const std::uint64_t begin = index == 0 ? 0 : ends_[index - 1];
        return {bytes_.data() + begin, static_cast<std::size_t>(ends_[index] - begin)};
    }

    void append(std::string_view entry);
    // The start of an entry whose bytes come in parts: the next entry appended
    // begins with them. Until then they belong to no entry.
    void appendPart(std::string_view part) {
        bytes_.insert(bytes_.end(), part.begin(), part.end());
    }
    void discardPart() { bytes_.resize(ends_.empty() ? 0 : ends_.back()); }
    // Makes room for this many more entries holding this many more bytes.
    void reserveMore(std::size_t entries, std::size_t bytes);
    void clear();

    // Keeps the entries whose flag is false, in their order; `remove` has one flag
    // per entry. Returns how many were removed.
    std::size_t removeFlagged(const std::vector<bool>& remove);

private:
    std::vector<char> bytes_;
    std::vector<std::uint64_t> ends_;
};

} // namespace tb
