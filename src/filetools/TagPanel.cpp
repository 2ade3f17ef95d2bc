// The main window's tag panel: reads the ID3v1 tag of a file into the six fields.
#include "app/Unit1.h"

#include "filetools/Id3v1.h"
#include "platform/FileTail.h"

#include <QLabel>
#include <QStringDecoder>

namespace {

QByteArrayView bytesOf(std::string_view text) {
    return QByteArrayView(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

void TForm1::DrawTAG(const QString& name) {
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
    QStringDecoder windows1250("windows-1250", QStringDecoder::Flag::Stateless);
    const auto decode = [&windows1250](const std::string& text) {
        if (!windows1250.isValid()) // no ICU: Latin-1 at least keeps every byte visible
            return QString::fromLatin1(bytesOf(text));
        return QString(windows1250.decode(bytesOf(text)));
    };
    TitleTag->setText(decode(tag->title));
    ArtistTag->setText(decode(tag->artist));
    AlbumTag->setText(decode(tag->album));
    YearTag->setText(decode(tag->year));
    CommentTag->setText(decode(tag->comment));
    GenreTag->setText(QString::fromLatin1(bytesOf(tb::id3v1::genreName(tag->genre))));
}
