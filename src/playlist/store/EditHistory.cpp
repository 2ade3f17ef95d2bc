#include "playlist/store/EditHistory.h"

#include <utility>

namespace tb {

namespace {
const std::string kNoName;
} // namespace

void EditHistory::add(std::string name, EntryStore before, const EntryStore& after) {
    for (const Step& step : undone_)
        bytes_ -= step.bytes;
    undone_.clear();
    const std::size_t bytes = before.bytesNotSharedWith(after);
    done_.push_back({std::move(name), std::move(before), bytes});
    bytes_ += bytes;
    keepWithinBudget();
}

const std::string& EditHistory::undoName() const {
    return done_.empty() ? kNoName : done_.back().name;
}

const std::string& EditHistory::redoName() const {
    return undone_.empty() ? kNoName : undone_.back().name;
}

bool EditHistory::moveStep(std::deque<Step>& from, std::deque<Step>& to, EntryStore& playlist,
                           std::size_t& bytes) {
    if (from.empty())
        return false;
    Step step = std::move(from.back());
    from.pop_back();
    std::swap(step.state, playlist);
    // The step now keeps the other side of its change, which costs what it does not share.
    bytes -= step.bytes;
    step.bytes = step.state.bytesNotSharedWith(playlist);
    bytes += step.bytes;
    to.push_back(std::move(step));
    return true;
}

bool EditHistory::undo(EntryStore& playlist) {
    const bool undone = moveStep(done_, undone_, playlist, bytes_);
    keepWithinBudget();
    return undone;
}

bool EditHistory::redo(EntryStore& playlist) {
    const bool redone = moveStep(undone_, done_, playlist, bytes_);
    keepWithinBudget();
    return redone;
}

void EditHistory::clear() {
    done_.clear();
    undone_.clear();
    bytes_ = 0;
}

void EditHistory::keepWithinBudget() {
    // The farthest from the playlist go first: the oldest change, then the last to redo.
    while (bytes_ > budget_ && steps() > 1) {
        std::deque<Step>& farthest = done_.size() > 1 || undone_.empty() ? done_ : undone_;
        bytes_ -= farthest.front().bytes;
        farthest.pop_front();
    }
}

} // namespace tb
