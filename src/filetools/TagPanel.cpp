// The main window's tag panel: reads the ID3v1 tag of a file into the six fields.
#include "app/Unit1.h"

#include "filetools/Id3v1.h"
#include "platform/FileTail.h"
#include "platform/Windows1250.h"

#include <QLabel>

namespace {

QByteArrayView bytesOf(std::string_view text) {
    return QByteArrayView(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

void TForm1::DrawTAG(const QByteArray& name) {
    // The bytes always describe the tag last read, or nothing.
    tagArtistBytes_.clear();
    tagTitleBytes_.clear();
    const QByteArray tail =
        tb::readFileTail(pathInShownDirectory(name), static_cast<qint64>(tb::id3v1::TagSize));
    const auto tag = tb::id3v1::parseTail(std::string_view(tail.constData(), tail.size()));
    if (!tag)
        return;
    tagArtistBytes_ = bytesOf(tag->artist).toByteArray();
    tagTitleBytes_ = bytesOf(tag->title).toByteArray();

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
}
