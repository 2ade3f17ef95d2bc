#pragma once

#include <QPixmap>
#include <QString>

namespace tb {

// The picture in the file (a resource path works too), decoded by Qt's image reader;
// an empty pixmap when it is missing or cannot be decoded.
QPixmap readPicture(const QString& path);

} // namespace tb
