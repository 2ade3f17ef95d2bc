#include "filetools/CollatedOrder.h"
#include "platform/Collation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

namespace {

struct Names {
    const char* name;
    bool twoTexts;
    std::u16string (*text)(std::size_t index, int which);
};

std::u16string number(std::size_t value) {
    const std::string digits = std::to_string(value);
    return {digits.begin(), digits.end()};
}

class CollatedOrderTest : public testing::TestWithParam<Names> {};

// Whatever part of the keys is kept: the whole keys' order, equal ones by place, on threads.
TEST_P(CollatedOrderTest, IsTheOrderOfTheWholeKeys) {
    const Names& names = GetParam();
    constexpr std::size_t kCount = 3001;
    std::vector<std::string> keys(kCount);
    tb::CzechCollation collation;
    for (std::size_t i = 0; i < kCount; ++i) {
        collation.appendKey(names.text(i, 0), keys[i]);
        if (names.twoTexts) {
            keys[i].push_back('\0');
            collation.appendKey(names.text(i, 1), keys[i]);
        }
    }
    std::vector<std::uint32_t> expected(kCount);
    std::iota(expected.begin(), expected.end(), 0U);
    std::stable_sort(expected.begin(), expected.end(),
                     [&](std::uint32_t a, std::uint32_t b) { return keys[a] < keys[b]; });
    tb::CollatedOrderRun run;
    run.twoTexts = names.twoTexts;
    run.threads = 3;
    const auto texts = [&](std::size_t i, std::u16string& first, std::u16string& second) {
        first = names.text(i, 0);
        second = names.twoTexts ? names.text(i, 1) : u"";
    };
    EXPECT_EQ(tb::collatedOrder(kCount, texts, run), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Names, CollatedOrderTest,
    testing::Values(
        // Alike far past the kept bytes; every 97th parts from the others at its start,
        // where a sample of the keys cannot see it.
        Names{"LongCommonStart", false,
              [](std::size_t i, int) {
                  return (i % 97 == 5 ? u"B" : u"C:\\Music\\A common folder of some length\\") +
                         number(i % 40) + u" Track " + number(i % 7);
              }},
        Names{"ShortAndEqual", false,
              [](std::size_t i, int) {
                  return i % 3 == 0 ? u"" : number(i % 11);
              }},
        // A folder that is the start of another comes first, whatever the names.
        Names{"FolderThenName", true,
              [](std::size_t i, int which) {
                  return which == 0 ? u"Folder" + number(i % 3).substr(0, i % 2)
                                    : u"Name " + number(3000 - i);
              }}),
    [](const testing::TestParamInfo<Names>& info) { return std::string(info.param.name); });

TEST(CollatedOrder, CancelledGivesNothing) {
    std::atomic<bool> cancelled{true};
    tb::CollatedOrderRun run;
    run.cancelled = &cancelled;
    EXPECT_TRUE(
        tb::collatedOrder(
            10, [](std::size_t, std::u16string& text, std::u16string&) { text.push_back(u'x'); },
            run)
            .empty());
}

// A non-ASCII text late in the run sends it back to the collator: each item counted once.
TEST(CollatedOrder, CountsEachItemOnce) {
    std::atomic<std::size_t> done{0};
    tb::CollatedOrderRun run;
    run.threads = 2;
    run.done = &done;
    const auto order = tb::collatedOrder(
        5000,
        [](std::size_t i, std::u16string& text, std::u16string&) {
            text = i == 4000 ? u"\u010Daj" : u"name " + number(i);
        },
        run);
    EXPECT_EQ(order.size(), 5000U);
    EXPECT_EQ(done, 5000U);
}

} // namespace
