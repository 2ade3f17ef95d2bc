#pragma once

// Files made and read back in one call, for the tests that work on real files.
#include <QByteArray>
#include <QString>
#include <QStringList>

namespace tb::test {

// Creates empty files (and the directories they need) below a directory.
void makeFiles(const QString& directory, const QStringList& relativeNames);
void writeFile(const QString& path, const QByteArray& bytes);
// The file's bytes, or "<missing>" when it cannot be read.
QByteArray contents(const QString& path);

} // namespace tb::test
