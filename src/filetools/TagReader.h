#pragma once

#include <QByteArray>
#include <QString>

namespace tb {

// A music file's tag as it is shown: its ID3v1 tag where the file ends in one, else
// the ID3v2 tag at its start (where the build reads those), else none.
struct TagFields {
    enum class Source { None, Id3v1, Id3v2 };
    Source source = Source::None;
    QString title;
    QString artist;
    QString album;
    QString year;
    QString comment;
    QString genre;
};

// The decoded fields of the file at path (its bytes): ID3v1 texts from Windows-1250
// with the genre's name, ID3v2 texts from UTF-8. Throws IoError where the file cannot
// be read. Keeps no state, so any thread may call it.
TagFields readTagFields(const QByteArray& path);

} // namespace tb
