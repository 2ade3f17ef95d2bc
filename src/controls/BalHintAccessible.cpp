#include "controls/BalHintAccessible.h"

#include "controls/BalHint.h"

TBaloonHintWindowAccessible::TBaloonHintWindowAccessible(TBaloonHintWindow* balloon)
    : QAccessibleWidget(balloon, QAccessible::ToolTip) {}

QString TBaloonHintWindowAccessible::text(QAccessible::Text t) const {
    // Each showing puts the hint's text into the window's caption.
    if (t == QAccessible::Name)
        return widget()->windowTitle();
    return QAccessibleWidget::text(t);
}
