#include "controls/Lcd99Accessible.h"

#include "controls/Lcd99.h"
#include "controls/Lcd99Math.h"

TLCD99Accessible::TLCD99Accessible(TLCD99* display)
    : QAccessibleWidget(display, QAccessible::StaticText) {}

QString TLCD99Accessible::shownText(const TLCD99* display) {
    const int cells = display->DigitNum();
    if (cells < 1)
        return {};
    // The stored value holds only characters that the cells can show, all of them ASCII.
    const tb::lcd::CellTexts split = tb::lcd::splitValue(display->Value().toStdString(), cells);
    QString shown;
    for (int i = 0; i < cells && i < static_cast<int>(split.chars.size()); ++i) {
        if (i < static_cast<int>(split.points.size()) && split.points[i] == '.')
            shown += QLatin1Char('.');
        shown += QLatin1Char(split.chars[i]);
    }
    return shown.trimmed();
}

QString TLCD99Accessible::text(QAccessible::Text t) const {
    const auto* display = static_cast<const TLCD99*>(object());
    switch (t) {
    case QAccessible::Name:
        if (!display->accessibleName().isEmpty())
            return display->accessibleName();
        return shownText(display);
    case QAccessible::Value:
        return shownText(display);
    default:
        return QAccessibleWidget::text(t);
    }
}
