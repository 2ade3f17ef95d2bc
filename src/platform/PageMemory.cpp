#include "platform/PageMemory.h"

#include <cstdlib>
#include <mutex>
#include <new>
#include <vector>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace tb {

namespace {

#if defined(__linux__)
// Large pieces that an emptied or shrunk playlist let go of. Memory given back to the
// system is, on a virtual machine, soon handed back to the host, and touching it
// again after an idle spell costs several times the copy that fills it; so pieces
// are kept, marked MADV_FREE: the system takes their pages when it runs short, and
// until then the next fill of about the same size finds them ready.
class SparePieces {
public:
    // A piece of at least `size` bytes and at most twice that, or none.
    PagePiece take(std::size_t size) {
        const std::lock_guard lock(mutex_);
        auto best = pieces_.end();
        for (auto piece = pieces_.begin(); piece != pieces_.end(); ++piece) {
            if (piece->size >= size && piece->size <= 2 * size &&
                (best == pieces_.end() || piece->size < best->size))
                best = piece;
        }
        if (best == pieces_.end())
            return {};
        const PagePiece taken = *best;
        held_ -= taken.size;
        pieces_.erase(best);
        return taken;
    }
    void keepOrFree(PagePiece piece) {
        {
            const std::lock_guard lock(mutex_);
            if (held_ + piece.size <= kMostHeld) {
                ::madvise(piece.start, piece.size, MADV_FREE);
                pieces_.push_back(piece);
                held_ += piece.size;
                return;
            }
        }
        std::free(piece.start);
    }

private:
    // Enough for the texts, paths and ends of a playlist of a million entries.
    static constexpr std::size_t kMostHeld = std::size_t{256} << 20;
    std::mutex mutex_;
    std::vector<PagePiece> pieces_;
    std::size_t held_ = 0;
};

SparePieces& spares() {
    // Never destroyed: a store may let go of its memory while the program ends.
    static SparePieces* const pieces = new SparePieces;
    return *pieces;
}
#endif

} // namespace

PagePiece takePages(std::size_t bytes) {
    PagePiece piece;
#if defined(__linux__)
    // Megabytes filled at once, as by an open, take a few dozen page faults in huge
    // pages instead of thousands.
    if (bytes >= kHugePageBytes) {
        const std::size_t rounded = (bytes + kHugePageBytes - 1) / kHugePageBytes * kHugePageBytes;
        piece = spares().take(rounded);
        if (!piece.start) {
            piece = {std::aligned_alloc(kHugePageBytes, rounded), rounded};
            if (piece.start)
                ::madvise(piece.start, rounded, MADV_HUGEPAGE); // a hint: no matter if refused
        }
    } else
#endif
    {
        piece = {std::malloc(bytes), bytes};
    }
    if (!piece.start)
        throw std::bad_alloc();
    return piece;
}

void givePagesBack(PagePiece piece) {
#if defined(__linux__)
    if (piece.size >= kHugePageBytes) {
        spares().keepOrFree(piece);
        return;
    }
#endif
    std::free(piece.start);
}

} // namespace tb
