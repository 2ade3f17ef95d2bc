#pragma once

#include "playlist/store/EntryStore.h"

#include <cstddef>
#include <deque>
#include <string>

namespace tb {

// The playlist's earlier and undone states, for undo and redo. Each step keeps the
// whole store as it was, which shares with the others all the memory that neither
// changed: an append costs the step a few pointers, a reordering the order's four bytes
// an entry, a removal the blocks the removed entries were in.
//
// The steps are bounded by the memory they keep beyond the playlist, not by their
// count: past the budget the oldest go first. The step next to the playlist stays
// whatever it costs, so that the last change can always be taken back.
class EditHistory {
public:
    static constexpr std::size_t kDefaultBudgetBytes = std::size_t{64} << 20;

    explicit EditHistory(std::size_t budgetBytes = kDefaultBudgetBytes) : budget_(budgetBytes) {}

    // A change called `name` has made `before` into `after`, the playlist now. What
    // was undone can no longer be redone.
    void add(std::string name, EntryStore before, const EntryStore& after);
    bool canUndo() const { return !done_.empty(); }
    bool canRedo() const { return !undone_.empty(); }
    // The name of the change that undo or redo would take back or make again.
    const std::string& undoName() const;
    const std::string& redoName() const;
    // Puts the playlist back as it was before the last change; false when there is none.
    bool undo(EntryStore& playlist);
    // Makes the last undone change again; false when there is none.
    bool redo(EntryStore& playlist);
    void clear();

    // The memory the steps keep beyond the playlist.
    std::size_t bytes() const { return bytes_; }
    std::size_t steps() const { return done_.size() + undone_.size(); }

private:
    struct Step {
        std::string name;
        EntryStore state;
        std::size_t bytes = 0;
    };
    // Swaps the playlist with the last step of `from`, which goes to `to`; `bytes` follows.
    static bool moveStep(std::deque<Step>& from, std::deque<Step>& to, EntryStore& playlist,
                         std::size_t& bytes);
    void keepWithinBudget();

    std::size_t budget_;
    std::size_t bytes_ = 0;
    std::deque<Step> done_;   // oldest first
    std::deque<Step> undone_; // the next to redo last
};

} // namespace tb
