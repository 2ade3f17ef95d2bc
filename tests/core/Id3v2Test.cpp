// Versions and encodings as the window shows them are in tests/gui/test_tagpanel.cpp; these
// are the reader's limits and the frame forms that TagLib must unpack.
#include "filetools/Id3v2.h"
#include "support/Id3v2Bytes.h"

#include <gtest/gtest.h>

namespace {

namespace id3v2 = tb::id3v2;
using namespace tb::test::id3v2;

std::vector<std::string> shown(const std::optional<id3v2::Texts>& texts) {
    if (!texts)
        return {"<no tag>"};
    return {texts->title, texts->artist, texts->album, texts->year, texts->comment, texts->genre};
}

TEST(Id3v2, DeclaredSizeOfTheVersionsItReads) {
    const std::string frames = textFrame(4, "TIT2", Encoding::Utf8, {"SOS"});
    EXPECT_EQ(id3v2::declaredSize(tag(4, frames, 0, 100)), 10 + frames.size() + 100);
    // A footer of 2.4 follows the frames; the largest size is 2^28 - 1.
    EXPECT_EQ(id3v2::declaredSize(tag(4, frames, 0x10)), 20 + frames.size());
    EXPECT_EQ(id3v2::declaredSize(std::string("ID3\x03\x00\x00\x7F\x7F\x7F\x7F", 10)),
              10u + (1u << 28) - 1);
    // No tag: too short, another marker, unknown versions, an eighth bit in the size,
    // or no frames at all.
    for (std::string header : {std::string("ID3\x04\x00\x00\x00\x00\x01", 9),
                               std::string("id3\x04\x00\x00\x00\x00\x00\x10", 10),
                               std::string("ID3\x05\x00\x00\x00\x00\x00\x10", 10),
                               std::string("ID3\x01\x00\x00\x00\x00\x00\x10", 10),
                               std::string("ID3\x04\xFF\x00\x00\x00\x00\x10", 10),
                               std::string("ID3\x04\x00\x00\x00\x00\x00\x80", 10),
                               std::string("ID3\x03\x00\x00\x00\x00\x00\x00", 10)}) {
        EXPECT_EQ(id3v2::declaredSize(header), 0u) << header;
        EXPECT_FALSE(id3v2::readTexts(header.size() < 10 ? header : header + frames));
    }
}

TEST(Id3v2, ValuesYearsAndTheFirstComment) {
    // Several values in one frame, a full recording time, two comments, two genres.
    const std::string frames = textFrame(4, "TIT2", Encoding::Utf8, {"Jedna", "Dvě"}) +
                               textFrame(4, "TPE1", Encoding::Utf16Be, {"Žlutý pes"}) +
                               textFrame(4, "TDRC", Encoding::Latin1, {"2001-02-03T04:05"}) +
                               commentFrame(4, Encoding::Utf8, "", "první") +
                               commentFrame(4, Encoding::Utf8, "iTunNORM", "druhý") +
                               textFrame(4, "TCON", Encoding::Latin1, {"17", "Folk-rock", "RX"});
    EXPECT_EQ(shown(id3v2::readTexts(tag(4, frames, 0, 50))),
              (std::vector<std::string>{"Jedna / Dvě", "Žlutý pes", "", "2001", "první",
                                        "Rock / Folk-rock / Remix"}));
    // A 2.3 year in TYER and a genre code refined by its own name, in UTF-16.
    const std::string old = textFrame(3, "TYER", Encoding::Utf16, {"1976"}) +
                            textFrame(3, "TCON", Encoding::Utf16, {"(17)Rock"}) +
                            textFrame(3, "TCOM", Encoding::Utf16, {"not shown"});
    EXPECT_EQ(shown(id3v2::readTexts(tag(3, old))),
              (std::vector<std::string>{"", "", "", "1976", "", "Rock"}));
}

TEST(Id3v2, GenreTexts) {
    // Pairs of a text and the genre shown: codes bare or in parentheses go through the
    // same table; other texts stand.
    const char* const cases[] = {
        "(17)",  "Rock",  "17",    "Rock", "0",        "Blues",    "(147)",        "Synthpop",
        "148",   "",      "(255)", "",     "256",      "256",      "(RX)",         "Remix",
        "CR",    "Cover", "Rock",  "Rock", "(17)Rock", "(17)Rock", "()",           "()",
        "(abc)", "(abc)", "-1",    "-1",   "",         "",         "Alternativní", "Alternativní"};
    for (std::size_t i = 0; i < std::size(cases); i += 2)
        EXPECT_EQ(id3v2::genreOfText(cases[i]), cases[i + 1]) << cases[i];
}

TEST(Id3v2, UnsynchronisationAndExtendedHeader) {
    // "ÿé" in Latin-1 is FF E9; unsynchronised, a zero follows the FF.
    std::string frames = textFrame(3, "TIT2", Encoding::Latin1, {"ÿé"});
    const std::size_t ff = frames.find('\xFF');
    ASSERT_NE(ff, std::string::npos);
    frames.insert(ff + 1, 1, '\0');
    EXPECT_EQ(shown(id3v2::readTexts(tag(3, frames, '\x80')))[0], "ÿé");
    // A 2.4 extended header (its size counts itself) before the frames. TagLib takes
    // its size off the frames' end as well, which padding makes up for.
    const std::string extended = synchsafe(6) + std::string("\x01\x00", 2);
    const std::string title = textFrame(4, "TIT2", Encoding::Utf8, {"SOS"});
    EXPECT_EQ(shown(id3v2::readTexts(tag(4, extended + title, 0x40, 20)))[0], "SOS");
}

TEST(Id3v2, TagsCutShortShowWhatIsThere) {
    const std::string frames = textFrame(4, "TIT2", Encoding::Utf8, {"SOS"}) +
                               textFrame(4, "TPE1", Encoding::Utf8, {"ABBA"}) +
                               textFrame(4, "TALB", Encoding::Utf8, {"Waterloo"});
    const std::string whole = tag(4, frames, 0, 1000);
    const std::size_t albumEnds = whole.find("Waterloo") + 8;
    EXPECT_EQ(shown(id3v2::readTexts(whole.substr(0, albumEnds))),
              (std::vector<std::string>{"SOS", "ABBA", "Waterloo", "", "", ""}));
    // A text cut short shows its start; a frame whose header is cut, nothing.
    EXPECT_EQ(shown(id3v2::readTexts(whole.substr(0, albumEnds - 1)))[2], "Waterlo");
    EXPECT_EQ(shown(id3v2::readTexts(whole.substr(0, whole.find("TALB") + 6))),
              (std::vector<std::string>{"SOS", "ABBA", "", "", "", ""}));
    EXPECT_EQ(shown(id3v2::readTexts(whole.substr(0, 12))), std::vector<std::string>(6));
    // A frame that claims more than the whole tag, and a body of noise, end the frames.
    const std::string liar = "TIT2" + synchsafe(1u << 27) + std::string(2, '\0') + "x";
    EXPECT_EQ(shown(id3v2::readTexts(tag(4, liar))), std::vector<std::string>(6));
    EXPECT_EQ(shown(id3v2::readTexts(tag(4, std::string(300, '\xFF')))),
              std::vector<std::string>(6));
    // A tag that fills the read limit to its last byte is read whole.
    const std::string title(id3v2::ReadLimit - 21, 't');
    const std::string full = tag(4, textFrame(4, "TIT2", Encoding::Latin1, {title}));
    ASSERT_EQ(full.size(), id3v2::ReadLimit);
    EXPECT_EQ(shown(id3v2::readTexts(id3v2::shownFrames([&](std::size_t offset, std::size_t size) {
                  return full.substr(std::min(offset, full.size()), size);
              })))[0],
              title);
}

// Texts after a 2 MiB cover are found without its body being read, and after many small
// frames not at all; no more than the read limit is asked for.
class Id3v2Frames : public testing::TestWithParam<int> {};

TEST_P(Id3v2Frames, PassesOverWhatItDoesNotShow) {
    const int version = GetParam();
    const auto text = [&](const char* id, const char* oldId, std::string_view value) {
        return textFrame(version, version == 2 ? oldId : id, Encoding::Latin1, {value});
    };
    const std::string cover =
        frame(version, version == 2 ? "PIC" : "APIC", std::string(std::size_t{2} << 20, '\x55'));
    const std::string texts = text("TIT2", "TT2", "SOS") + text("TPE1", "TP1", "ABBA");
    const std::string file = tag(version, cover + texts, 0, 100) + std::string(5000, '\xFF');

    std::size_t asked = 0;
    bool coverRead = false;
    const auto shownOf = [&](const std::string& bytes) {
        asked = 0;
        return shown(id3v2::readTexts(id3v2::shownFrames([&](std::size_t offset, std::size_t size) {
            asked += size;
            const std::size_t coverBody = 10 + (version == 2 ? 6 : 10);
            coverRead |= &bytes == &file && offset < coverBody + cover.size() - 100 &&
                         offset + size > coverBody + 100;
            return bytes.substr(std::min(offset, bytes.size()), size);
        })));
    };
    const std::vector<std::string> found = shownOf(file);
    EXPECT_EQ(std::vector(found.begin(), found.begin() + 2),
              (std::vector<std::string>{"SOS", "ABBA"}));
    EXPECT_FALSE(coverRead);
    EXPECT_LE(asked, id3v2::ReadLimit);

    // Two megabytes of small frames before the title: the budget ends the search, not the tag.
    std::string many;
    for (int i = 0; i < 2'000'000 / (version == 2 ? 6 : 10); ++i)
        many += frame(version, version == 2 ? "TXX" : "TXXX", "");
    EXPECT_EQ(shownOf(tag(version, many + texts))[0], "");
    EXPECT_LE(asked, id3v2::ReadLimit + 4);
    // Where the texts come first, the frames after them are as good as absent.
    EXPECT_EQ(shownOf(tag(version, texts + cover))[1], "ABBA");
    EXPECT_EQ(id3v2::shownFrames([](std::size_t, std::size_t) { return std::string("MP3!"); }), "");
}

INSTANTIATE_TEST_SUITE_P(Versions, Id3v2Frames, testing::Values(2, 3, 4),
                         testing::PrintToStringParamName());

} // namespace
