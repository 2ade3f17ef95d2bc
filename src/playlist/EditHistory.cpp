#include "playlist/EditHistory.h"

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

bool EditHistory::moveStep(std::deque<Step>& from, std::deque<Step>& to, EntryStore& playlist) {
    if (from.empty())
        return false;
    Step step = std::move(from.back());
    from.pop_back();
    std::swap(step.state, playlist);
    to.push_back(std::move(step));
    return true;
}

bool EditHistory::undo(EntryStore& playlist) {
    if (!moveStep(done_, undone_, playlist))
        return false;
    // The step now keeps the state after the change, which costs what it shares not.
    bytes_ -= undone_.back().bytes;
    undone_.back().bytes = undone_.back().state.bytesNotSharedWith(playlist);
    bytes_ += undone_.back().bytes;
    keepWithinBudget();
    return true;
}

bool EditHistory::redo(EntryStore& playlist) {
    if (!moveStep(undone_, done_, playlist))
        return false;
    bytes_ -= done_.back().bytes;
    done_.back().bytes = done_.back().state.bytesNotSharedWith(playlist);
    bytes_ += done_.back().bytes;
    keepWithinBudget();
    return true;
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
