#pragma once

#include <QByteArray>
#include <QString>

// File names are bytes: a name copied from an old Windows disk is Windows-1250,
// not UTF-8, and must still be listed, read, renamed and deleted. Qt's file
// classes spell every name in UTF-8 and so cannot reach such a file; these
// helpers work on the name's own bytes, and only the display decodes them.
namespace tb {

// Control characters (a line break in a name, say) as their visible symbols,
// so that a name always takes one line.
QString withVisibleControls(QString text);

// Deletes the file for good; false when it cannot be deleted.
bool deleteFile(const QByteArray& path);

} // namespace tb
