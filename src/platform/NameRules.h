#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <cstddef>
#include <string_view>

// What the file system holding a folder allows in a name: how many bytes, and whether
// it keeps to Windows rules (FAT, exFAT and NTFS, also where a Linux system has them
// mounted: the cards and sticks music is copied to).
namespace tb {

// The bytes that the name at the end of path (the text after its last separator)
// takes in the file system's encoding: UTF-8 here, the ANSI code page on Windows.
qsizetype nameBytes(const QString& path);
// The same for one character given as its UTF-8 sequence.
std::size_t characterBytes(std::string_view utf8Character);

// Whether the folder lies on a file system that refuses \ : * ? " < > | and the control
// characters in a name. Always so on Windows; false where the folder cannot be reached.
bool hasWindowsNameRules(const QByteArray& folder);

} // namespace tb
