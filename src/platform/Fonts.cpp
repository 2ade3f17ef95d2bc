#include "platform/Fonts.h"

#include <QStringList>

namespace tb {

QFont pixelFont(const QString& family, int pixelSize, bool bold) {
    // The layouts were measured with the narrow Windows sans-serif faces; where those
    // are missing, faces of the same widths keep captions inside their buttons.
    QFont font;
    font.setFamilies({family, QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Arial"),
                      QStringLiteral("Liberation Sans"), QStringLiteral("Nimbus Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

} // namespace tb
