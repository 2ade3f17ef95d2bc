#pragma once

// Real music files of each kind, tagged as below, made by the encoders through the script
// that TRACKBINDER_MUSIC_SCRIPT names.
#include <QProcess>

namespace tb::test {

inline const QString kMusicTitle = QStringLiteral("Žluťoučký kůň");
inline const QString kMusicArtist = QStringLiteral("Příliš úpěl");

// Makes directory/<stem>.<extension> for each extension; false where an encoder failed.
inline bool makeMusicFiles(const QString& directory, const QString& stem,
                           const QStringList& extensions) {
    return QProcess::execute(QStringLiteral(TRACKBINDER_MUSIC_SCRIPT),
                             QStringList{directory, stem} + extensions) == 0;
}

} // namespace tb::test
