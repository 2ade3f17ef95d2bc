#include "controls/Lcd99Accessible.h"

#include "controls/Lcd99.h"

TLCD99Accessible::TLCD99Accessible(TLCD99* display)
    : QAccessibleWidget(display, QAccessible::StaticText) {}

QString TLCD99Accessible::text(QAccessible::Text t) const {
    const auto* display = static_cast<const TLCD99*>(object());
    switch (t) {
    case QAccessible::Name:
        if (!display->accessibleName().isEmpty())
            return display->accessibleName();
        return display->shownText();
    case QAccessible::Value:
        return display->shownText();
    default:
        return QAccessibleWidget::text(t);
    }
}
