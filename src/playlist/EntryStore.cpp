#include "playlist/EntryStore.h"

#include <algorithm>
#include <cstring>

namespace tb {

void EntryStore::append(std::string_view entry) {
    bytes_.insert(bytes_.end(), entry.begin(), entry.end());
    ends_.push_back(bytes_.size());
}

namespace {
// Grows by half at least, so that many batches in a row stay linear.
template <typename Vector> void reserveAtLeast(Vector& vector, std::size_t needed) {
    if (needed > vector.capacity())
        vector.reserve(std::max(needed, vector.capacity() + vector.capacity() / 2));
}
} // namespace

void EntryStore::reserveMore(std::size_t entries, std::size_t bytes) {
    reserveAtLeast(ends_, ends_.size() + entries);
    reserveAtLeast(bytes_, bytes_.size() + bytes);
}

void EntryStore::clear() {
    // Give the memory back: an emptied playlist of a million entries should not
    // keep its 50 MB.
    std::vector<char>().swap(bytes_);
    std::vector<std::uint64_t>().swap(ends_);
}

std::size_t EntryStore::removeFlagged(const std::vector<bool>& remove) {
    std::size_t kept = 0;
    std::uint64_t writeEnd = 0;
    std::uint64_t begin = 0;
    const std::size_t count = ends_.size();
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint64_t end = ends_[i];
        if (i >= remove.size() || !remove[i]) {
            const std::uint64_t length = end - begin;
            if (writeEnd != begin && length > 0)
                std::memmove(bytes_.data() + writeEnd, bytes_.data() + begin, length);
            writeEnd += length;
            ends_[kept++] = writeEnd;
        }
        begin = end;
    }
    const std::size_t removed = count - kept;
    ends_.resize(kept);
    bytes_.resize(writeEnd);
    return removed;
}

} // namespace tb
