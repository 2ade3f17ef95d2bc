#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// File names are bytes: a name copied from an old Windows disk is Windows-1250,
// not UTF-8, and must still be listed, read, renamed and deleted. Qt's file
// classes spell every name in UTF-8 and so cannot reach such a file; these
// helpers work on the name's own bytes, and only the display decodes them.
namespace tb {

// Control characters (a line break in a name, say) as their visible symbols,
// so that a name always takes one line.
QString withVisibleControls(QString text);

// A path's bytes as text for the display: each part decoded on its own (UTF-8, else
// Windows-1250), so that one old folder name does not garble the rest of the path.
QString shownPath(const QByteArray& path);

// Whether the path names a folder (through a link too).
bool isFolder(const QByteArray& path);

// The names of a folder's subfolders, links to folders included, hidden ones left out,
// as bytes in the file system's order. Empty when the folder cannot be read.
QList<QByteArray> subfolderNames(const QByteArray& directory);

// Deletes the file for good; false when it cannot be deleted.
bool deleteFile(const QByteArray& path);

} // namespace tb
