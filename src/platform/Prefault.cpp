#include "platform/Prefault.h"

#include <algorithm>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>

#if defined(__linux__)
#include <cerrno>
#include <sys/mman.h>
#include <unistd.h>
#ifndef MADV_POPULATE_WRITE
#define MADV_POPULATE_WRITE 23 // Linux 5.14; older C libraries do not name it yet
#endif
#endif

namespace tb {

namespace {
// A step of the helper: short, so that forgetting a piece waits at most for one.
constexpr std::size_t kStep = std::size_t{1} << 20;

struct Range {
    std::uintptr_t begin;
    std::uintptr_t end;
    bool overlaps(std::uintptr_t otherBegin, std::uintptr_t otherEnd) const {
        return begin < otherEnd && otherBegin < end;
    }
};
} // namespace

struct Prefaulter::State {
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<Range> waiting;
    Range underWay{0, 0};
    bool started = false;
    bool supported = true;

    void run() {
        std::unique_lock lock(mutex);
        for (;;) {
            changed.wait(lock, [this] { return !waiting.empty(); });
            Range& next = waiting.front();
            underWay = {next.begin, std::min(next.end, next.begin + kStep)};
            next.begin = underWay.end;
            if (next.begin == next.end)
                waiting.pop_front();
            lock.unlock();
            const bool done = populate(underWay);
            lock.lock();
            underWay = {0, 0};
            if (!done) {
                supported = false;
                waiting.clear();
            }
            changed.notify_all();
        }
    }

    // False where the system cannot back pages without touching them.
    static bool populate(Range range) {
#if defined(__linux__)
        // A range that is not page-aligned is widened to its pages: they are the
        // piece's own, as pieces are.
        static const auto page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
        const std::uintptr_t begin = range.begin & ~(page - 1);
        // A failure other than "unknown advice" (a range given back meanwhile)
        // only means these pages stay as they are.
        return ::madvise(reinterpret_cast<void*>(begin), range.end - begin, MADV_POPULATE_WRITE) ==
                   0 ||
               errno != EINVAL;
#else
        (void)range;
        return false;
#endif
    }
};

Prefaulter::Prefaulter() : state_(new State) {}

Prefaulter::~Prefaulter() {
    delete state_;
}

Prefaulter& Prefaulter::shared() {
    // Never destroyed: its thread waits for work until the program ends, and a store
    // may let go of its memory while it does.
    static Prefaulter* const prefaulter = new Prefaulter;
    return *prefaulter;
}

void Prefaulter::ask(void* start, std::size_t length) {
#if defined(__linux__)
    if (length == 0)
        return;
    const auto begin = reinterpret_cast<std::uintptr_t>(start);
    const std::lock_guard lock(state_->mutex);
    if (!state_->supported)
        return;
    if (!state_->started) {
        std::thread([state = state_] { state->run(); }).detach();
        state_->started = true;
    }
    state_->waiting.push_back({begin, begin + length});
    state_->changed.notify_all();
#else
    (void)start;
    (void)length;
#endif
}

void Prefaulter::forget(const void* start, std::size_t length) {
    const auto begin = reinterpret_cast<std::uintptr_t>(start);
    const std::uintptr_t end = begin + length;
    std::unique_lock lock(state_->mutex);
    std::erase_if(state_->waiting, [&](const Range& range) { return range.overlaps(begin, end); });
    state_->changed.wait(lock, [&] { return !state_->underWay.overlaps(begin, end); });
}

void Prefaulter::waitUntilIdle() {
    std::unique_lock lock(state_->mutex);
    state_->changed.wait(lock, [this] {
        return state_->waiting.empty() && state_->underWay.begin == state_->underWay.end;
    });
}

} // namespace tb
