// Padding, the comment's track number and shown genres are covered on real files by
// tests/gui/test_tagpanel.cpp; these are the parser's own limits.
#include "filetools/Id3v1.h"
#include "support/Mp3Bytes.h"

#include <gtest/gtest.h>

namespace {

using namespace std::string_literals;
namespace id3v1 = tb::id3v1;

std::string makeTag(const std::string& title, const std::string& comment = "") {
    return tb::test::mp3::id3v1({title, "", "", "19x7", comment, 255});
}

TEST(Id3v1, OnlyTheLast128BytesCountAndKeepTheirOwnBytes) {
    const auto afterAudio =
        id3v1::parseTail("\xFF\xFBTAG frames"s + makeTag("\x8A\xED\xF8", std::string(30, 'c')));
    ASSERT_TRUE(afterAudio);
    EXPECT_EQ(afterAudio->title, "\x8A\xED\xF8");
    EXPECT_EQ(afterAudio->comment, std::string(30, 'c'));
    EXPECT_EQ(afterAudio->year, "19x7"); // never checked
    EXPECT_FALSE(id3v1::parseTail(makeTag("SOS") + "x"));
    EXPECT_FALSE(id3v1::parseTail(makeTag("SOS").substr(0, 127)));
}

} // namespace
