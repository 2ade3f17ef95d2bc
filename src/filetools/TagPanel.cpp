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

// Reads up to `wanted` bytes from the file's position on; fewer at the file's end.
std::string readUpTo(tb::RegularFile& file, std::size_t wanted) {
    std::string bytes(wanted, '\0');
    std::size_t done = 0;
    while (done < wanted) {
        const qint64 got = file.read(bytes.data() + done, static_cast<qint64>(wanted - done));
        if (got < 0)
            throw tb::RegularFile::ioError(file.error());
        if (got == 0)
            break;
        done += static_cast<std::size_t>(got);
    }
    bytes.resize(done);
    return bytes;
}

// The ID3v2 tag at the file's start, its shown frames only; nothing when the file begins
// no tag. The tag's first bytes come in one read, which holds the whole of most tags;
// frames beyond them are read where they lie.
std::optional<tb::id3v2::Texts> readId3v2(const QByteArray& path) {
    constexpr std::size_t kFirstRead = 64 * 1024;
    tb::RegularFile file(path);
    std::string first = readUpTo(file, tb::id3v2::HeaderSize);
    const std::size_t declared = tb::id3v2::declaredSize(first);
    if (declared == 0)
        return std::nullopt;
    const std::size_t firstWanted = std::min(declared, kFirstRead);
    first += readUpTo(file, firstWanted - first.size());
    const bool fileEnded = first.size() < firstWanted;
    const std::string tag = tb::id3v2::shownFrames([&](std::size_t offset, std::size_t size) {
        if (offset + size <= first.size() || fileEnded)
            return first.substr(std::min(offset, first.size()), size);
        if (!file.seek(static_cast<qint64>(offset)))
            throw tb::RegularFile::ioError(file.error());
        return readUpTo(file, size);
    });
    return tb::id3v2::readTexts(tag);
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
