#include "platform/Pictures.h"

#include <QImage>
#include <QImageReader>

namespace tb {

QPixmap readPicture(const QString& path) {
    QImageReader reader(path);
    const QImage image = reader.read();
    if (image.isNull()) {
        qWarning("cannot read the picture %s: %s", qPrintable(path),
                 qPrintable(reader.errorString()));
        return {};
    }
    return QPixmap::fromImage(image);
}

} // namespace tb
