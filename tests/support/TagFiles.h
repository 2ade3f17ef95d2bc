#pragma once

// Song files with tags, for the tests of the tag panel and of renaming.
#include "support/Id3v2Bytes.h"
#include "support/Mp3Bytes.h"

#include <QByteArray>
#include <string_view>

namespace tb::test {

// An ID3v1 tag; texts are NUL-padded unless they bring their own padding.
inline QByteArray tag(const QByteArray& title, const QByteArray& artist = {}, int genre = 255,
                      const QByteArray& comment = {}) {
    return QByteArray::fromStdString(
        mp3::id3v1({title.toStdString(), artist.toStdString(), "Arrival   ", "1976",
                    comment.toStdString(), genre}));
}

// What stands for the audio frames.
inline const QByteArray audio(300, '\xFF');

// An ID3v2 tag of the version with its six texts in one encoding and zero padding; 2.2
// names its frames with three letters.
inline QByteArray tagV2(int version, id3v2::Encoding encoding, std::string_view title,
                        std::string_view artist, std::string_view genre, std::size_t padding = 64) {
    const auto text = [&](const char* id, const char* oldId, std::string_view value) {
        return id3v2::textFrame(version, version == 2 ? oldId : id, encoding, {value});
    };
    const std::string frames =
        text("TIT2", "TT2", title) + text("TPE1", "TP1", artist) + text("TALB", "TAL", "Album") +
        text(version == 4 ? "TDRC" : "TYER", "TYE", "1976-05") +
        id3v2::commentFrame(version, encoding, "", "Poznámka") + text("TCON", "TCO", genre);
    return QByteArray::fromStdString(id3v2::tag(version, frames, 0, padding));
}

} // namespace tb::test
