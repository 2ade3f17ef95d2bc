#include "playlist/store/EditHistory.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> texts(const tb::EntryStore& store) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < store.size(); ++i)
        out.emplace_back(store.at(i));
    return out;
}

tb::EntryStore filled(std::size_t entries, std::size_t bytes) {
    tb::EntryStore store;
    for (std::size_t i = 0; i < entries; ++i)
        store.append(std::string(bytes, static_cast<char>('a' + i % 26)) + std::to_string(i),
                     "/music/" + std::to_string(i) + ".mp3");
    return store;
}

// A change made through the history: the store as it was goes in as the step.
template <typename Change>
void change(tb::EditHistory& history, tb::EntryStore& playlist, const char* name, Change apply) {
    tb::EntryStore before = playlist.copy();
    apply(playlist);
    history.add(name, std::move(before), playlist);
}

TEST(EditHistory, UndoAndRedoGiveBackEachStateWhole) {
    tb::EditHistory history;
    tb::EntryStore playlist;
    change(history, playlist, "Přidat", [](tb::EntryStore& s) { s.append("a", "/a.mp3"); });
    change(history, playlist, "Přidat", [](tb::EntryStore& s) {
        s.append("b");
        s.append("c");
    });
    change(history, playlist, "Obrátit pořadí", [](tb::EntryStore& s) { s.reorder({2, 1, 0}); });
    change(history, playlist, "Odebrat", [](tb::EntryStore& s) { s.removeFlagged({false, true}); });
    EXPECT_EQ(texts(playlist), (std::vector<std::string>{"c", "a"}));

    ASSERT_EQ(history.undoName(), "Odebrat");
    ASSERT_TRUE(history.undo(playlist));
    EXPECT_EQ(texts(playlist), (std::vector<std::string>{"c", "b", "a"}));
    EXPECT_EQ(history.redoName(), "Odebrat");
    ASSERT_TRUE(history.undo(playlist));
    ASSERT_TRUE(history.undo(playlist));
    EXPECT_EQ(texts(playlist), (std::vector<std::string>{"a"}));
    EXPECT_EQ(playlist.file(0), "/a.mp3");
    ASSERT_TRUE(history.undo(playlist));
    EXPECT_TRUE(playlist.empty());
    EXPECT_FALSE(history.undo(playlist));

    for (int i = 0; i < 4; ++i)
        ASSERT_TRUE(history.redo(playlist));
    EXPECT_FALSE(history.redo(playlist));
    EXPECT_EQ(texts(playlist), (std::vector<std::string>{"c", "a"}));

    // A new change after an undo drops what was undone.
    history.undo(playlist);
    change(history, playlist, "Přidat", [](tb::EntryStore& s) { s.append("d"); });
    EXPECT_FALSE(history.canRedo());
    EXPECT_EQ(texts(playlist), (std::vector<std::string>{"c", "b", "a", "d"}));
    history.undo(playlist);
    EXPECT_EQ(texts(playlist), (std::vector<std::string>{"c", "b", "a"}));
}

// A step keeps a few pointers for an append, four bytes an entry for a new order, and the
// blocks the entries were in for a removal.
TEST(EditHistory, StepsCostWhatTheyDoNotShare) {
    tb::EditHistory history;
    tb::EntryStore playlist = filled(50'000, 60);
    const std::size_t playlistBytes = playlist.allocatedBytes();

    change(history, playlist, "Přidat", [](tb::EntryStore& s) { s.append("one more"); });
    EXPECT_LT(history.bytes(), 16'384u);

    const std::size_t beforeOrder = history.bytes();
    change(history, playlist, "Obrátit pořadí", [](tb::EntryStore& s) {
        std::vector<std::uint32_t> rows(s.size());
        for (std::size_t i = 0; i < rows.size(); ++i)
            rows[i] = static_cast<std::uint32_t>(rows.size() - 1 - i);
        s.reorder(rows);
    });
    // The step keeps the order before (none), the playlist the new one.
    EXPECT_LT(history.bytes() - beforeOrder, 16'384u);
    history.undo(playlist);
    // Now the step keeps the reversed order, which the playlist does not share.
    EXPECT_GE(history.bytes() - beforeOrder, playlist.size() * 4);
    EXPECT_LE(history.bytes() - beforeOrder, playlist.size() * 4 + 16'384);
    history.redo(playlist);

    change(history, playlist, "Odebrat", [](tb::EntryStore& s) {
        std::vector<bool> remove(s.size());
        remove[10] = true;
        s.removeFlagged(remove);
    });
    EXPECT_GT(history.bytes(), playlistBytes / 2);
    EXPECT_LT(history.bytes(), playlistBytes * 2);
}

// Past the budget the oldest steps go, but the last change can always be undone.
TEST(EditHistory, KeepsWithinItsBudgetOldestFirst) {
    tb::EntryStore playlist = filled(20'000, 60);
    const auto removeFirst = [](tb::EntryStore& s) {
        std::vector<bool> remove(s.size());
        remove[0] = true;
        s.removeFlagged(remove);
    };
    std::size_t stepBytes = 0; // what one such removal keeps
    {
        tb::EditHistory probe;
        tb::EntryStore probed = playlist.copy();
        change(probe, probed, "probe", removeFirst);
        stepBytes = probe.bytes();
    }
    tb::EditHistory history(stepBytes * 3 / 2);
    change(history, playlist, "first", removeFirst);
    change(history, playlist, "second", removeFirst);
    EXPECT_EQ(history.steps(), 1u);
    EXPECT_EQ(history.undoName(), "second");
    EXPECT_LE(history.bytes(), stepBytes * 3 / 2);

    tb::EditHistory tiny(1);
    change(tiny, playlist, "large", removeFirst);
    EXPECT_TRUE(tiny.canUndo());
    const std::size_t size = playlist.size();
    tiny.undo(playlist);
    EXPECT_EQ(playlist.size(), size + 1);
    EXPECT_TRUE(tiny.canRedo());
}

} // namespace
