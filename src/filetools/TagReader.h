#pragma once

#include <QByteArray>
#include <QString>

namespace tb {

// A music file's tag as it is shown. An MP3, or a file of no music kind: its ID3v1 tag
// where the file ends in one, else the ID3v2 tag at its start (where the build reads
// those), else none. A file of another music kind: the tag that TagLib's reader for
// the kind its extension names finds, else none.
struct TagFields {
    enum class Source { None, Id3v1, Id3v2, Common };
    Source source = Source::None;
    QString title;
    QString artist;
    QString album;
    QString year;
    QString comment;
    QString genre;
    // Where the tag's own reader gave the audio's length as well (every kind but MP3):
    // the length in milliseconds, -1 where it is not known.
    bool lengthRead = false;
    int milliseconds = -1;
};

// The decoded fields of the file at path (its bytes): ID3v1 texts from Windows-1250
// with the genre's name, ID3v2 texts from UTF-8. Throws IoError where the file cannot
// be read, but not where a file of another music kind is no file of its kind: that
// has no tag. Keeps no state, so any thread may call it.
TagFields readTagFields(const QByteArray& path);
// The same, with the length where the tag's reader gives it at the same time.
TagFields readTagFieldsAndLength(const QByteArray& path);

} // namespace tb
