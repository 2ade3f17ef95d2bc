#pragma once

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

namespace tb::test {

// Rows of a column "folder": folder names that are not UTF-8.
void nonUtf8FolderRows();

// A scratch folder for folders whose names are not UTF-8, each made beside a folder whose
// UTF-8 name reads the same and which holds another song, so that a step that loses the
// name's bytes ends in the wrong folder, or nowhere. Removed with all below it, which
// QTemporaryDir cannot reach by such names.
class LookAlikeFolders {
public:
    ~LookAlikeFolders();
    QByteArray path() const { return QFile::encodeName(dir_.path()); }
    // Makes <folder>/inside.mp3 and <its look-alike>/decoy.mp3; gives the folder's path.
    QByteArray make(const QByteArray& folder) const;
    QByteArray lookAlikeOf(const QByteArray& folder) const;

private:
    QTemporaryDir dir_;
};

} // namespace tb::test
