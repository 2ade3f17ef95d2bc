#pragma once

// The bytes of real, silent MP3 files (128 kbps, 44.1 kHz, mono, a Xing header first), with
// an ID3v1 or ID3v2.4 tag if wanted; standard library only, for the core tests too.
#include "support/Id3v2Bytes.h"

#include <cstdint>
#include <string>

namespace tb::test::mp3 {

inline constexpr int kBitRate = 128'000;
inline constexpr int kSampleRate = 44'100;
inline constexpr int kSamplesPerFrame = 1152;
// A mono frame's header is followed by 17 bytes of side information.
inline constexpr std::size_t kXingOffset = 4 + 17;

// The length players compute from the Xing header's count, in milliseconds, as TagLib rounds.
inline constexpr std::int64_t lengthMilliseconds(std::size_t audioFrames) {
    return (static_cast<std::int64_t>(audioFrames) * kSamplesPerFrame * 1000 + kSampleRate / 2) /
           kSampleRate;
}

// A frame of 417 bytes, or 418 padded: a header and zeros, which decode to silence.
inline std::string frame(bool padded) {
    const std::size_t size = 144 * kBitRate / kSampleRate + (padded ? 1 : 0);
    std::string out(size, '\0');
    out[0] = '\xFF';
    out[1] = '\xFB';                                        // MPEG-1, Layer III, no CRC
    out[2] = static_cast<char>(0x90 | (padded ? 0x02 : 0)); // 128 kbps, 44.1 kHz
    out[3] = '\xC4';                                        // mono, original
    return out;
}

inline std::string bigEndian32(std::uint32_t value) {
    return {static_cast<char>(value >> 24), static_cast<char>(value >> 16),
            static_cast<char>(value >> 8), static_cast<char>(value)};
}

// The Xing frame and the audio frames, padded to 144 * 128000 / 44100 bytes on average.
inline std::string frames(std::size_t audioFrames) {
    std::string out;
    out.reserve((audioFrames + 1) * 418);
    int rest = 0;
    const auto nextFrame = [&] {
        rest += (144 * kBitRate) % kSampleRate;
        const bool padded = rest >= kSampleRate;
        if (padded)
            rest -= kSampleRate;
        return frame(padded);
    };
    std::string xing = nextFrame();
    const std::string header = "Xing" + bigEndian32(0x3) + // frame and byte counts follow
                               bigEndian32(static_cast<std::uint32_t>(audioFrames));
    xing.replace(kXingOffset, header.size(), header);
    out += xing;
    for (std::size_t i = 0; i < audioFrames; ++i)
        out += nextFrame();
    // The byte count is the whole stream's, the Xing frame included.
    out.replace(kXingOffset + 12, 4, bigEndian32(static_cast<std::uint32_t>(out.size())));
    return out;
}

struct Texts {
    std::string title, artist, album;
};

struct Id3v1Fields {
    std::string title, artist, album, year, comment;
    int genre; // 255: none
};

// An ID3v1 tag: "TAG" and fixed fields padded with zeros; longer texts are cut.
inline std::string id3v1(const Id3v1Fields& tag) {
    const auto field = [](std::string text, std::size_t size) {
        text.resize(size, '\0');
        return text;
    };
    return "TAG" + field(tag.title, 30) + field(tag.artist, 30) + field(tag.album, 30) +
           field(tag.year, 4) + field(tag.comment, 30) + char(tag.genre);
}

enum class Tag { None, Id3v1, Id3v24 };

// A whole file; its ID3v2.4 tag holds TIT2, TPE1 and TALB in UTF-8.
inline std::string file(std::size_t audioFrames, Tag tag = Tag::None, const Texts& texts = {}) {
    using namespace tb::test::id3v2;
    std::string out = tag == Tag::Id3v24
                          ? id3v2::tag(4, textFrame(4, "TIT2", Encoding::Utf8, {texts.title}) +
                                              textFrame(4, "TPE1", Encoding::Utf8, {texts.artist}) +
                                              textFrame(4, "TALB", Encoding::Utf8, {texts.album}))
                          : std::string();
    out += frames(audioFrames);
    if (tag == Tag::Id3v1)
        out += id3v1({texts.title, texts.artist, texts.album, "2024", "", 255});
    return out;
}

} // namespace tb::test::mp3
