#include "controls/KPanelAccessible.h"

#include "controls/KPanel.h"

TKPanelAccessible::TKPanelAccessible(TKPanel* panel)
    : QAccessibleWidget(panel, QAccessible::Pane) {}

QString TKPanelAccessible::text(QAccessible::Text t) const {
    const auto* panel = static_cast<const TKPanel*>(object());
    if (t == QAccessible::Name && !panel->Caption().isEmpty())
        return panel->Caption();
    return QAccessibleWidget::text(t);
}
