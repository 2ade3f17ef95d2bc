#pragma once

// ID3v2 tags byte by byte, versions 2.2 to 2.4 in each text encoding; standard library
// only, for the core tests too.
#include <initializer_list>
#include <string>
#include <string_view>

namespace tb::test::id3v2 {

enum class Encoding : char { Latin1 = 0, Utf16 = 1, Utf16Be = 2, Utf8 = 3 };

// UTF-8 text as UTF-16 code units, within the Basic Multilingual Plane.
inline std::u16string utf16(std::string_view utf8) {
    std::u16string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const int length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : 3;
        char32_t code = length == 1 ? lead : length == 2 ? lead & 0x1F : lead & 0x0F;
        for (int k = 1; k < length; ++k)
            code = (code << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        out += static_cast<char16_t>(code);
        i += length;
    }
    return out;
}

// One text in the encoding, without its terminator; UTF-16 with a little-endian mark.
inline std::string encoded(Encoding encoding, std::string_view utf8) {
    if (encoding == Encoding::Utf8)
        return std::string(utf8);
    std::string out;
    if (encoding == Encoding::Utf16)
        out = "\xFF\xFE";
    for (const char16_t unit : utf16(utf8)) {
        if (encoding == Encoding::Latin1)
            out += static_cast<char>(unit);
        else if (encoding == Encoding::Utf16)
            out += {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
        else
            out += {static_cast<char>(unit >> 8), static_cast<char>(unit & 0xFF)};
    }
    return out;
}

inline std::string terminator(Encoding encoding) {
    return std::string(encoding == Encoding::Utf16 || encoding == Encoding::Utf16Be ? 2 : 1, '\0');
}

// A size in four bytes of seven bits each, as version 2.4 and every tag header write it.
inline std::string synchsafe(std::size_t size) {
    std::string out(4, '\0');
    for (int i = 0; i < 4; ++i)
        out[i] = static_cast<char>((size >> (21 - 7 * i)) & 0x7F);
    return out;
}

// A frame of the version (2, 3 or 4) around its body; id has 3 letters for 2.2, else 4.
// Sizes are three bytes in 2.2, four in 2.3, four synchsafe in 2.4; flags follow from 2.3.
inline std::string frame(int version, std::string_view id, std::string_view body) {
    std::string out(id);
    if (version == 4)
        out += synchsafe(body.size());
    for (int shift = version == 2 ? 16 : 24; version != 4 && shift >= 0; shift -= 8)
        out += static_cast<char>(body.size() >> shift);
    return out + std::string(version == 2 ? 0 : 2, '\0') + std::string(body);
}

// A text frame holding these values, separated as the encoding does.
inline std::string textFrame(int version, std::string_view id, Encoding encoding,
                             std::initializer_list<std::string_view> values) {
    std::string body(1, static_cast<char>(encoding));
    for (const std::string_view& value : values)
        body += (&value == values.begin() ? "" : terminator(encoding)) + encoded(encoding, value);
    return frame(version, id, body);
}

inline std::string commentFrame(int version, Encoding encoding, std::string_view description,
                                std::string_view text) {
    const std::string body = std::string(1, static_cast<char>(encoding)) + "ces" +
                             encoded(encoding, description) + terminator(encoding) +
                             encoded(encoding, text);
    return frame(version, version == 2 ? "COM" : "COMM", body);
}

// The tag: header, the frames as given (unsynchronised where flags say so), zero padding.
inline std::string tag(int version, std::string_view frames, char flags = 0,
                       std::size_t padding = 0) {
    std::string out = "ID3";
    out += {static_cast<char>(version), '\0', flags};
    out += synchsafe(frames.size() + padding);
    return out + std::string(frames) + std::string(padding, '\0');
}

} // namespace tb::test::id3v2
