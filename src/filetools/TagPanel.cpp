// The main window's tag panel: reads the ID3v1 tag of a file into the six fields, or
// its ID3v2 tag where the file ends in no ID3v1 tag.
#include "app/Unit1.h"

#include "filetools/Id3v1.h"
#include "platform/FileTail.h"
#include "platform/Windows1250.h"

#include <QLabel>

#ifdef TRACKBINDER_ID3V2
#include "filetools/Id3v2.h"
#include "platform/RegularFile.h"

#include <algorithm>
#include <string>
#endif

namespace {

QByteArrayView bytesOf(std::string_view text) {
    return QByteArrayView(text.data(), static_cast<qsizetype>(text.size()));
}

#ifdef TRACKBINDER_ID3V2

// Reads up to `wanted` more bytes onto the end of `bytes`; fewer at the file's end.
void readOn(tb::RegularFile& file, std::string& bytes, std::size_t wanted) {
    const std::size_t goal = bytes.size() + wanted;
    const std::size_t start = bytes.size();
    bytes.resize(goal);
    std::size_t done = start;
    while (done < goal) {
        const qint64 got = file.read(bytes.data() + done, static_cast<qint64>(goal - done));
        if (got < 0)
            throw tb::RegularFile::ioError(file.error());
        if (got == 0)
            break;
        done += static_cast<std::size_t>(got);
    }
    bytes.resize(done);
}

// The ID3v2 tag at the file's start, read no further than its declared size and the
// read limit; nothing when the file begins no tag.
std::optional<tb::id3v2::Texts> readId3v2(const QByteArray& path) {
    tb::RegularFile file(path);
    std::string bytes;
    readOn(file, bytes, tb::id3v2::HeaderSize);
    const std::size_t declared = tb::id3v2::declaredSize(bytes);
    if (declared == 0)
        return std::nullopt;
    readOn(file, bytes, std::min(declared, tb::id3v2::ReadLimit) - bytes.size());
    return tb::id3v2::readTexts(bytes);
}

#endif

} // namespace

void TForm1::DrawTAG(const QByteArray& name) {
    const QByteArray path = pathInShownDirectory(name);
    const QByteArray tail = tb::readFileTail(path, static_cast<qint64>(tb::id3v1::TagSize));
    if (const auto tag = tb::id3v1::parseTail(std::string_view(tail.constData(), tail.size()))) {
        // Tag texts are Windows-1250 bytes.
        const auto decode = [](const std::string& text) {
            return tb::fromWindows1250(bytesOf(text));
        };
        TitleTag->setText(decode(tag->title));
        ArtistTag->setText(decode(tag->artist));
        AlbumTag->setText(decode(tag->album));
        YearTag->setText(decode(tag->year));
        CommentTag->setText(decode(tag->comment));
        GenreTag->setText(QString::fromLatin1(bytesOf(tb::id3v1::genreName(tag->genre))));
        return;
    }
#ifdef TRACKBINDER_ID3V2
    if (const auto texts = readId3v2(path)) {
        const auto decode = [](const std::string& text) {
            return QString::fromUtf8(bytesOf(text));
        };
        TitleTag->setText(decode(texts->title));
        ArtistTag->setText(decode(texts->artist));
        AlbumTag->setText(decode(texts->album));
        YearTag->setText(decode(texts->year));
        CommentTag->setText(decode(texts->comment));
        GenreTag->setText(decode(texts->genre));
    }
#endif
}
