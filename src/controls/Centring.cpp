#include "controls/Centring.h"

#include <QScreen>
#include <QWidget>

namespace tb {

void centreOnScreen(QWidget& window) {
    if (const QScreen* screen = window.screen())
        window.move(screen->availableGeometry().center() - window.rect().center());
}

} // namespace tb
