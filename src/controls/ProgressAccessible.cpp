#include "controls/ProgressAccessible.h"

#include "controls/Progress.h"

TProgressAccessible::TProgressAccessible(TProgress* gauge)
    : QAccessibleWidget(gauge, QAccessible::ProgressBar) {}

const TProgress* TProgressAccessible::gauge() const {
    return static_cast<const TProgress*>(object());
}

void* TProgressAccessible::interface_cast(QAccessible::InterfaceType t) {
    if (t == QAccessible::ValueInterface)
        return static_cast<QAccessibleValueInterface*>(this);
    return QAccessibleWidget::interface_cast(t);
}

QVariant TProgressAccessible::currentValue() const {
    return gauge()->readValue();
}

QString TProgressAccessible::text(QAccessible::Text t) const {
    switch (t) {
    case QAccessible::Name:
        if (!gauge()->Text().isEmpty())
            return gauge()->Text();
        return gauge()->accessibleName();
    case QAccessible::Value:
        return QStringLiteral("%1 %").arg(currentValue().toInt());
    default:
        return QAccessibleWidget::text(t);
    }
}
