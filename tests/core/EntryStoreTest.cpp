#include "playlist/store/EntryStore.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

namespace {

using Entries = std::vector<std::string>;

// Every field of an item, comparable as one.
auto fields(const tb::PlaylistItem& i) {
    return std::tuple(i.text, i.info, i.title, i.artist, i.album, i.milliseconds, i.file);
}

Entries contents(const tb::EntryStore& store) {
    Entries out;
    for (std::size_t i = 0; i < store.size(); ++i)
        out.emplace_back(store.at(i));
    return out;
}

// Entries from empty to megabytes: some fill a block, some open one, some need their own.
Entries mixedEntries() {
    Entries all;
    for (std::size_t i = 0; i < 20000; ++i) { // more than one chunk of ends
        const std::size_t length = i % 1999 == 0 ? (i % 5) * 700'000 + 1 : (i * 7919) % 1500;
        std::string entry(length, static_cast<char>('a' + i % 26));
        if (!entry.empty())
            entry.front() = static_cast<char>(i % 251); // any byte, NUL and CR included
        all.push_back(std::move(entry));
    }
    all.emplace_back();
    return all;
}

// What the store holds stays where it is while it grows, and comes back byte for byte
// across block bounds, before and after removals that pull entries into earlier blocks.
TEST(EntryStore, GrowsWithoutMovingAndCompactsAcrossBlocks) {
    const Entries all = mixedEntries();
    tb::EntryStore store;
    store.append(all[0]);
    const char* firstBytes = store.at(0).data();
    for (std::size_t i = 1; i < all.size(); ++i) {
        if (i % 7 == 0 && i + 2 < all.size()) { // a batch, as the search and opening add
            store.appendAll({all[i], all[i + 1], all[i + 2]});
            i += 2;
            continue;
        }
        if (i % 3 == 0)
            store.reserveMore(2, all[i].size() + 10); // room made ahead
        store.append(all[i]);
    }
    EXPECT_EQ(store.at(0).data(), firstBytes);
    ASSERT_EQ(contents(store), all);

    // Removing every entry of a pattern leaves the others in order; a flag list that
    // ends early keeps the entries beyond it.
    std::vector<bool> remove(all.size() - 1);
    Entries left;
    for (std::size_t i = 0; i < all.size(); ++i) {
        if (i < remove.size())
            remove[i] = i % 3 != 1 && i % 1999 != 0;
        if (i == remove.size() || !remove[i])
            left.push_back(all[i]);
    }
    EXPECT_EQ(store.removeFlagged(remove), all.size() - left.size());
    ASSERT_EQ(contents(store), left);
    // And it grows on from there, also once emptied.
    store.append("tail");
    left.emplace_back("tail");
    EXPECT_EQ(contents(store), left);
    EXPECT_EQ(store.removeFlagged(std::vector<bool>(left.size(), true)), left.size());
    store.append("again");
    EXPECT_EQ(contents(store), Entries{"again"});
}

// Each entry's end is found wherever it lies among the growing chunks of ends, also past a
// reservation that ended inside a chunk, and after a removal that leaves fewer chunks.
TEST(EntryStore, EndsAcrossChunksOfEveryKind) {
    constexpr std::size_t kEntries = (std::size_t{1} << 19) + 3; // past chunks of all sizes
    tb::EntryStore store;
    store.reserveMore(kEntries / 3, 0);
    for (std::size_t i = 0; i < kEntries; ++i)
        store.append(std::to_string(i));
    for (std::size_t i = 0; i < kEntries; ++i)
        ASSERT_EQ(store.at(i), std::to_string(i)) << i;

    std::vector<bool> remove(kEntries);
    for (std::size_t i = 0; i < kEntries; ++i)
        remove[i] = i % 40 != 0; // keeps 13,108: all in the first chunk
    store.removeFlagged(remove);
    store.append("tail");
    ASSERT_EQ(store.size(), (kEntries + 39) / 40 + 1);
    for (std::size_t i = 0; i + 1 < store.size(); ++i)
        ASSERT_EQ(store.at(i), std::to_string(i * 40)) << i;
    EXPECT_EQ(store.at(store.size() - 1), "tail");
}

// An entry that comes in parts is whole once appended, even when its parts outgrow
// the block they began in; discarded parts leave no trace.
TEST(EntryStore, EntriesInParts) {
    tb::EntryStore store;
    store.append("first");
    store.appendPart("dropped");
    store.discardPart();
    std::string longLine;
    for (int piece = 0; piece < 40; ++piece) {
        const std::string part(100'000, static_cast<char>('A' + piece % 26));
        store.appendPart(part);
        longLine += part;
    }
    store.append("!");
    longLine += '!';
    store.appendPart("open");
    store.append({});
    store.appendPart("never ended");
    store.discardPart();
    EXPECT_EQ(contents(store), (Entries{"first", longLine, "open"}));

    // An empty batch leaves the open parts open: still discarded whole, or carried
    // into a new block by the entry that ends them.
    store.appendPart("dropped again");
    store.appendAll({});
    store.discardPart();
    store.append("after");
    store.appendPart("k"); // a part of one byte is carried as well
    store.appendAll({});
    const std::string large(10'000'000, 'z'); // more than the block has left
    store.appendAll({large});
    ASSERT_EQ(store.size(), 5u);
    EXPECT_EQ(store.at(3), "after");
    EXPECT_EQ(store.at(4).substr(0, 2), "kz");
    EXPECT_EQ(store.at(4).size(), 1 + large.size());
}

// Each entry keeps its file and what came with it from a playlist, whichever way it
// was added, through removals; entries added before the first file have none.
TEST(EntryStore, FilesAndInfoBesideTheEntries) {
    tb::EntryStore store;
    store.append("no file");
    store.appendPart("in ");
    store.append("parts", "/m/parts.mp3");
    store.appendAll({"a", "b", "c"}, {"/m/a.mp3", "", std::string_view("/m/c\0x", 6)});
    tb::PlaylistItem read{"read", "Artist - Title", "", "", "", 213'000, "/m/read.mp3"};
    read.info.push_back('\0'); // any bytes, NUL included
    store.appendItem(read);
    store.appendItem({"bare", "", "", "", "", -1, ""});
    store.appendAll({"d", "e"});
    const std::vector<std::string> files{
        "", "/m/parts.mp3", "/m/a.mp3", "", "/m/c", "/m/read.mp3", "", "", ""};
    const auto check = [&](const std::vector<std::size_t>& rows) {
        ASSERT_EQ(store.size(), rows.size());
        for (std::size_t i = 0; i < rows.size(); ++i) {
            EXPECT_EQ(store.file(i), files[rows[i]]) << rows[i];
            EXPECT_EQ(store.hasInfo(i), rows[i] == 5) << rows[i];
        }
    };
    check({0, 1, 2, 3, 4, 5, 6, 7, 8});
    EXPECT_EQ(fields(store.item(5)), fields(read));
    EXPECT_EQ(fields(store.copy().item(5)), fields(read));
    EXPECT_EQ(store.item(0).milliseconds, -1);

    // Entries that are their files' paths name them without a second copy.
    const std::vector<std::string_view> paths{"/m/x.mp3", "/m/y.mp3"};
    store.appendAll(paths, paths);
    EXPECT_EQ(store.file(9), "/m/x.mp3");
    EXPECT_FALSE(store.hasInfo(10));
    EXPECT_EQ(store.item(10).file, "/m/y.mp3");
    EXPECT_EQ(store.copy().file(10), "/m/y.mp3");

    store.removeFlagged({true, false, true, false, false, false, true, false, false, true});
    EXPECT_EQ(store.file(store.size() - 1), "/m/y.mp3");
    store.removeFlagged({false, false, false, false, false, false, true});
    check({1, 3, 4, 5, 7, 8});
    EXPECT_EQ(fields(store.item(3)), fields(read));
    store.clear();
    store.append("x");
    EXPECT_EQ(store.file(0), "");

    // A path ends at its first NUL, though every path of a batch holds one; side bytes
    // cut short (a length, then two bytes where the next should be) are refused.
    store.appendAll({"f", "g"}, {std::string_view("/m/f\0", 5), std::string_view("\0g", 2)});
    EXPECT_EQ(store.file(1), "/m/f");
    EXPECT_FALSE(store.hasInfo(1) || store.hasInfo(2));
    EXPECT_FALSE(store.appendWithSide("h", std::string("/m/h\0", 5) + std::string(8, '\0') + "ab"));
}

// A copy shares the original's memory, yet whatever either side does, each keeps its own.
TEST(EntryStore, CopyAndOriginalGoTheirOwnWays) {
    const Entries all = mixedEntries();
    tb::EntryStore store;
    const auto fileOf = [](std::size_t i) {
        return i % 3 == 0 ? "/m/" + std::to_string(i) : "";
    };
    for (std::size_t i = 0; i < all.size(); ++i)
        store.append(all[i], fileOf(i));
    store.appendPart("unfinished");
    tb::EntryStore copied = store.copy();
    const Entries before = contents(store);
    ASSERT_EQ(contents(copied), before);

    store.append("-after");           // into the shared last block's room
    copied.append("copy's own");      // must not land where the original wrote
    copied.appendPart("copy's part"); // nor this
    EXPECT_EQ(store.at(store.size() - 1), "unfinished-after");
    EXPECT_EQ(copied.at(copied.size() - 1), "copy's own");

    std::vector<bool> everySecond(store.size());
    for (std::size_t i = 0; i < everySecond.size(); i += 2)
        everySecond[i] = true;
    store.removeFlagged(everySecond); // moves entries the copy still reads
    Entries copiedBefore = before;
    copiedBefore.emplace_back("copy's own");
    EXPECT_EQ(contents(copied), copiedBefore);
    for (std::size_t i = 0; i < all.size(); ++i)
        ASSERT_EQ(copied.file(i), fileOf(i));

    copied.removeFlagged(std::vector<bool>(copied.size(), true));
    EXPECT_EQ(store.size(), (all.size() + 1) / 2);
    EXPECT_EQ(store.at(0), all[1]);
}

// A new order moves no bytes: each row shows its entry whole, file and info with it;
// entries appended later and removals after it keep the rows' order.
TEST(EntryStore, ReorderedEntriesKeepEverythingTheyCameWith) {
    tb::EntryStore store;
    tb::PlaylistItem withInfo{"c", "", "Title", "Artist", "", 3000, "/m/c.mp3"};
    store.append("a", "/m/a.mp3");
    store.append("b");
    store.appendItem(withInfo);
    store.append("d", "d"); // a file that is the entry's own text
    const char* bytesOfA = store.at(0).data();

    store.reorder({3, 2, 0, 1});
    EXPECT_TRUE(store.reordered());
    EXPECT_EQ(contents(store), (Entries{"d", "c", "a", "b"}));
    EXPECT_EQ(store.at(2).data(), bytesOfA);
    EXPECT_EQ(store.file(0), "d");
    EXPECT_EQ(fields(store.item(1)), fields(withInfo));
    EXPECT_EQ(store.file(2), "/m/a.mp3");
    EXPECT_EQ(store.file(3), "");

    store.append("e", "/m/e.mp3");
    store.reorder({1, 0, 2, 3, 4}); // orders compose
    EXPECT_EQ(contents(store), (Entries{"c", "d", "a", "b", "e"}));
    EXPECT_EQ(store.file(4), "/m/e.mp3");
    const tb::EntryStore before = store.copy();

    EXPECT_EQ(store.removeFlagged({true, false, false, true}), 2u);
    EXPECT_EQ(contents(store), (Entries{"d", "a", "e"}));
    EXPECT_EQ(store.file(1), "/m/a.mp3");
    EXPECT_EQ(store.file(2), "/m/e.mp3");
    EXPECT_EQ(contents(before), (Entries{"c", "d", "a", "b", "e"}));
    EXPECT_EQ(before.item(0).title, "Title");

    store.reorder({0, 1, 2}); // back in the order they lie: no order kept
    EXPECT_FALSE(store.reordered());
    EXPECT_THROW(store.reorder({0, 0, 1}), std::invalid_argument);
    EXPECT_THROW(store.reorder({0, 1}), std::invalid_argument);
    EXPECT_THROW(store.reorder({0, 1, 3}), std::invalid_argument);
    EXPECT_EQ(contents(store), (Entries{"d", "a", "e"}));
}

} // namespace
