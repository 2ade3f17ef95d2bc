#include "playlist/store/RowMatching.h"

#include <gtest/gtest.h>

// A new state costs only what it brought: entries found again by their bytes each take a
// kept row of their own, however many are equal, and only the lost ones are let go.
TEST(RowMatching, EqualEntriesAreFoundAgain) {
    tb::KeptRows kept{tb::EntryStore(), {7, 8, 9, 6}};
    tb::EntryStore next;
    for (const char* text : {"stejný", "stejný", "stejný", "jiný"})
        kept.entries.append(text);
    for (const char* text : {"nový", "stejný", "stejný", "stejný"})
        next.append(text);
    std::uint32_t nextId = 10;
    const tb::RowMatch match = tb::matchRows(kept, next, nextId);
    EXPECT_EQ(match.added, std::vector<std::size_t>{0});
    EXPECT_EQ(match.removed, std::vector<std::uint32_t>{6});
}
