// The generated MP3 bytes as TagLib reads them: the length from the Xing header, the
// stream's properties and the tags.
#include "support/Mp3Bytes.h"

#include <gtest/gtest.h>
#include <id3v1tag.h>
#include <id3v2framefactory.h>
#include <id3v2tag.h>
#include <mpegfile.h>
#include <tbytevectorstream.h>
#include <xingheader.h>

namespace {

namespace mp3 = tb::test::mp3;

struct Case {
    const char* name;
    std::size_t frames;
    mp3::Tag tag;
    friend void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }
};

class Mp3Bytes : public testing::TestWithParam<Case> {};

TEST_P(Mp3Bytes, TagLibReadsLengthAndTags) {
    const mp3::Texts texts{"Žluťoučký kůň", "ABBA", "Waterloo"};
    const std::string bytes = mp3::file(GetParam().frames, GetParam().tag, texts);
    TagLib::ByteVectorStream stream(
        TagLib::ByteVector(bytes.data(), static_cast<unsigned>(bytes.size())));
    TagLib::MPEG::File file(&stream, TagLib::ID3v2::FrameFactory::instance());
    ASSERT_TRUE(file.isValid());
    ASSERT_NE(file.audioProperties(), nullptr);
    EXPECT_EQ(file.audioProperties()->lengthInMilliseconds(),
              mp3::lengthMilliseconds(GetParam().frames));
    // A wrong rate, channel count or layer would move the Xing header or change the length.
    ASSERT_NE(file.audioProperties()->xingHeader(), nullptr);
    EXPECT_EQ(file.hasID3v1Tag(), GetParam().tag == mp3::Tag::Id3v1);
    EXPECT_EQ(file.hasID3v2Tag(), GetParam().tag == mp3::Tag::Id3v24);
    if (GetParam().tag == mp3::Tag::Id3v24) {
        EXPECT_EQ(file.ID3v2Tag()->title().to8Bit(true), texts.title);
        EXPECT_EQ(file.ID3v2Tag()->artist().to8Bit(true), texts.artist);
        EXPECT_EQ(file.ID3v2Tag()->album().to8Bit(true), texts.album);
    } else if (GetParam().tag == mp3::Tag::Id3v1) {
        // ID3v1 holds Latin-1 in TagLib's eyes: the UTF-8 bytes come back one by one.
        EXPECT_EQ(file.ID3v1Tag()->title().to8Bit(false), texts.title);
        EXPECT_EQ(file.ID3v1Tag()->album().to8Bit(false), texts.album);
    }
}

INSTANTIATE_TEST_SUITE_P(Mp3, Mp3Bytes,
                         testing::Values(Case{"Bare", 1000, mp3::Tag::None},
                                         Case{"Id3v1", 1000, mp3::Tag::Id3v1},
                                         Case{"Id3v24", 1000, mp3::Tag::Id3v24},
                                         Case{"OneFrame", 1, mp3::Tag::Id3v24}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Mp3Bytes, FramesAverageTheBitRate) {
    // 1000 frames of 128 kbps last 26.12 s, so they hold about 417,959 bytes.
    const std::string bytes = mp3::frames(1000);
    EXPECT_NEAR(static_cast<double>(bytes.size()), 1001 * 417.959, 1.0);
}

} // namespace
