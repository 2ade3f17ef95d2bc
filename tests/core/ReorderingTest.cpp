#include "playlist/store/Reordering.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>

namespace {

// A list written as letters, the selected ones in upper case: "aBcD".
std::vector<bool> selectionOf(const std::string& list) {
    std::vector<bool> selected;
    for (const char letter : list)
        selected.push_back(std::isupper(static_cast<unsigned char>(letter)) != 0);
    return selected;
}

// The list after the rearrangement, the selection as it says.
std::string shown(const std::string& list, const std::optional<tb::Rearrangement>& moved) {
    if (!moved)
        return "unchanged";
    std::string out;
    for (std::size_t row = 0; row < moved->rows.size(); ++row) {
        const auto letter = static_cast<unsigned char>(list[moved->rows[row]]);
        out +=
            static_cast<char>(moved->selected[row] ? std::toupper(letter) : std::tolower(letter));
    }
    return out;
}

std::string inOrder(const std::string& list, const std::vector<std::uint32_t>& rows) {
    std::string out;
    for (const std::uint32_t row : rows)
        out += list[row];
    return out;
}

struct Move {
    const char* name;
    std::optional<tb::Rearrangement> (*move)(const std::vector<bool>&);
    const char* before;
    const char* after;
};

class Moves : public testing::TestWithParam<Move> {};

TEST_P(Moves, SelectionTravelsWithTheEntries) {
    const Move& move = GetParam();
    EXPECT_EQ(shown(move.before, move.move(selectionOf(move.before))), move.after);
}

INSTANTIATE_TEST_SUITE_P(
    Reordering, Moves,
    testing::Values(Move{"upPastEachNeighbour", &tb::movedUp, "aBcDef", "BaDcef"},
                    Move{"upRunAtTopStays", &tb::movedUp, "ABcdE", "ABcEd"},
                    Move{"upRunMovesWhole", &tb::movedUp, "abCDe", "aCDbe"},
                    Move{"upNothingToMove", &tb::movedUp, "ABc", "unchanged"},
                    Move{"upNothingSelected", &tb::movedUp, "abc", "unchanged"},
                    Move{"downPastEachNeighbour", &tb::movedDown, "aBcDef", "acBeDf"},
                    Move{"downRunAtBottomStays", &tb::movedDown, "AbcDE", "bAcDE"},
                    Move{"downNothingToMove", &tb::movedDown, "abCD", "unchanged"},
                    Move{"toTopInTheirOrder", &tb::movedToTop, "aBcDe", "BDace"},
                    Move{"toTopAlreadyThere", &tb::movedToTop, "ABc", "unchanged"},
                    Move{"toBottomInTheirOrder", &tb::movedToBottom, "aBcDe", "aceBD"},
                    Move{"toBottomAlreadyThere", &tb::movedToBottom, "abC", "unchanged"}),
    [](const testing::TestParamInfo<Move>& info) { return std::string(info.param.name); });

// A drop puts the selected entries before the row under the drop line; onto themselves, they stay.
TEST(Reordering, DropPutsTheSelectionBeforeTheRow) {
    const std::string list = "aBcDe";
    EXPECT_EQ(shown(list, tb::movedBefore(selectionOf(list), 0)), "BDace");
    EXPECT_EQ(shown(list, tb::movedBefore(selectionOf(list), 3)), "acBDe");
    EXPECT_EQ(shown(list, tb::movedBefore(selectionOf(list), 5)), "aceBD");
    EXPECT_EQ(shown(list, tb::movedBefore(selectionOf(list), 99)), "aceBD");
    EXPECT_EQ(shown("aBCd", tb::movedBefore(selectionOf("aBCd"), 2)), "unchanged");
}

// Among several selected entries only those change places; with one or none, all entries do.
TEST(Reordering, ShapesTheSelectionInItsPlacesOrElseAll) {
    EXPECT_EQ(inOrder("abcdef", tb::reversedRows(selectionOf("aBcDeF"))), "afcdeb");
    EXPECT_EQ(inOrder("abcd", tb::reversedRows(selectionOf("aBcd"))), "dcba");
    EXPECT_EQ(inOrder("abcd", tb::reversedRows(selectionOf("abcd"))), "dcba");

    const std::string list = "abcdefghijklmnopqrstuvwxyz";
    std::string selection = list;
    for (std::size_t i = 0; i < list.size(); i += 2)
        selection[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(list[i])));
    const std::string shuffled = inOrder(list, tb::shuffledRows(selectionOf(selection), 7));
    EXPECT_EQ(shuffled, inOrder(list, tb::shuffledRows(selectionOf(selection), 7)));
    EXPECT_NE(shuffled, inOrder(list, tb::shuffledRows(selectionOf(selection), 8)));
    EXPECT_NE(shuffled, list);
    std::string evens;
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (i % 2 == 1)
            EXPECT_EQ(shuffled[i], list[i]) << "an unselected entry moved";
        else
            evens += shuffled[i];
    }
    std::sort(evens.begin(), evens.end());
    EXPECT_EQ(evens, "acegikmoqsuwy");

    const std::string words = "bAcaBd";
    const auto byLetter = [&](std::uint32_t a, std::uint32_t b) {
        return std::tolower(static_cast<unsigned char>(words[a])) <
               std::tolower(static_cast<unsigned char>(words[b]));
    };
    // Equal keys keep their order: A before a, b before B.
    EXPECT_EQ(inOrder(words, tb::sortedRows(selectionOf("abcdef"), byLetter)), "AabBcd");
    EXPECT_EQ(inOrder(words, tb::sortedRows(selectionOf("ABcdEf"), byLetter)), "AbcaBd");
}

TEST(Reordering, LaterDuplicatesAreFlaggedTheFirstKept) {
    const std::vector<std::string> keys{"x", "y", "x", "", "y", "", "z"};
    const std::vector<bool> flags = tb::laterDuplicates(
        keys.size(), [&](std::size_t row) { return std::string_view(keys[row]); });
    EXPECT_EQ(flags, (std::vector<bool>{false, false, true, false, true, true, false}));
}

} // namespace
