#include "playlist/EntryStore.h"

#include <gtest/gtest.h>

namespace {

using Entries = std::vector<std::string>;

Entries contents(const tb::EntryStore& store) {
    Entries out;
    for (std::size_t i = 0; i < store.size(); ++i)
        out.emplace_back(store.at(i));
    return out;
}

// Removing nothing is tested through the window (Delete with nothing selected).
TEST(EntryStore, KeepsBytesAndRemovesFlaggedInOrder) {
    const Entries all{"zero", std::string("\0\xff\r\n", 4), "", "three", "zero"};
    tb::EntryStore store;
    for (const std::string& entry : all)
        store.append(entry);
    EXPECT_EQ(contents(store), all);
    EXPECT_EQ(store.removeFlagged({true, false, true, true, false}), 3u);
    EXPECT_EQ(contents(store), (Entries{all[1], "zero"}));
    // A short flag list keeps the entries beyond it.
    store.append("five");
    EXPECT_EQ(store.removeFlagged({false, true}), 1u);
    EXPECT_EQ(contents(store), (Entries{all[1], "five"}));
    EXPECT_EQ(store.removeFlagged({true, true}), 2u);
    EXPECT_TRUE(store.empty());
    store.append("again");
    EXPECT_EQ(contents(store), Entries{"again"});
}

} // namespace
