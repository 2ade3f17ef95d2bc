#include "playlist/EntryStore.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::string> contents(const tb::EntryStore& store) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < store.size(); ++i)
        out.emplace_back(store.at(i));
    return out;
}

TEST(EntryStore, KeepsBytesOrderAndDuplicates) {
    tb::EntryStore store;
    store.append("a.mp3");
    store.append(std::string_view("\0\xff\r\n", 4));
    store.append("");
    store.append("a.mp3");
    EXPECT_EQ(contents(store),
              (std::vector<std::string>{"a.mp3", std::string("\0\xff\r\n", 4), "", "a.mp3"}));
}

TEST(EntryStore, RemoveFlaggedKeepsTheRestInOrder) {
    tb::EntryStore store;
    for (const char* entry : {"zero", "one", "", "three", "four"})
        store.append(entry);
    EXPECT_EQ(store.removeFlagged({true, false, true, true, false}), 3u);
    EXPECT_EQ(contents(store), (std::vector<std::string>{"one", "four"}));
    // Nothing flagged: the same list again; a short flag list keeps the entries beyond it.
    EXPECT_EQ(store.removeFlagged({}), 0u);
    EXPECT_EQ(contents(store), (std::vector<std::string>{"one", "four"}));
    store.append("five");
    EXPECT_EQ(store.removeFlagged({false, true}), 1u);
    EXPECT_EQ(contents(store), (std::vector<std::string>{"one", "five"}));
    EXPECT_EQ(store.removeFlagged({true, true}), 2u);
    EXPECT_TRUE(store.empty());
    store.append("again");
    EXPECT_EQ(contents(store), (std::vector<std::string>{"again"}));
}

} // namespace
