// The main window's tag panel: shows the tag fields of a file.
#include "app/Unit1.h"

#include "filetools/TagReader.h"

#include <QLabel>

void TForm1::DrawTAG(const QByteArray& name) {
    const tb::TagFields fields = tb::readTagFields(pathInShownDirectory(name));
    if (fields.source == tb::TagFields::Source::None)
        return;
    TitleTag->setText(fields.title);
    ArtistTag->setText(fields.artist);
    AlbumTag->setText(fields.album);
    YearTag->setText(fields.year);
    CommentTag->setText(fields.comment);
    GenreTag->setText(fields.genre);
}
