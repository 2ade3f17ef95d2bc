#pragma once

#include <cstddef>

namespace tb {

// Memory for a store that fills it soon after, by the megabyte.
struct PagePiece {
    void* start = nullptr;
    std::size_t size = 0; // what was taken, at least what was asked
};

// Pieces from this size up take huge pages where the system has them, and are kept
// when let go of, for the next fill of about the same size.
inline constexpr std::size_t kHugePageBytes = std::size_t{2} << 20;

// At least `bytes`; throws std::bad_alloc when the system has none to give.
PagePiece takePages(std::size_t bytes);
// Lets go of what takePages gave.
void givePagesBack(PagePiece piece);

} // namespace tb
