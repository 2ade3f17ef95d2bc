#include "filetools/TagPanel.h"

#include "filetools/TagReader.h"

#include <QLabel>

void TagPanel::showTagOf(const QByteArray& path) {
    const tb::TagFields fields = tb::readTagFields(path);
    if (fields.source == tb::TagFields::Source::None)
        return;
    fields_.title.setText(fields.title);
    fields_.artist.setText(fields.artist);
    fields_.album.setText(fields.album);
    fields_.year.setText(fields.year);
    fields_.comment.setText(fields.comment);
    fields_.genre.setText(fields.genre);
}

void TagPanel::clear() {
    for (QLabel* field : {&fields_.title, &fields_.artist, &fields_.album, &fields_.year,
                          &fields_.comment, &fields_.genre})
        field->clear();
}

QString TagPanel::artist() const {
    return fields_.artist.text();
}

QString TagPanel::title() const {
    return fields_.title.text();
}
