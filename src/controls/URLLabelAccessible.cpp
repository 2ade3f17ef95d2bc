#include "controls/URLLabelAccessible.h"

#include "controls/URLLabel.h"

#include <QPointer>

TURLLabelAccessible::TURLLabelAccessible(TURLLabel* label)
    : QAccessibleWidget(label, QAccessible::Link) {}

TURLLabel* TURLLabelAccessible::label() const {
    return static_cast<TURLLabel*>(widget());
}

QString TURLLabelAccessible::text(QAccessible::Text t) const {
    switch (t) {
    case QAccessible::Name:
        if (!label()->accessibleName().isEmpty())
            return label()->accessibleName();
        return label()->text();
    case QAccessible::Description:
        if (!label()->accessibleDescription().isEmpty())
            return label()->accessibleDescription();
        return label()->URL().isEmpty() ? label()->text() : label()->URL();
    case QAccessible::Value:
        return label()->URL().isEmpty() ? label()->text() : label()->URL();
    default:
        return QAccessibleWidget::text(t);
    }
}

QAccessible::State TURLLabelAccessible::state() const {
    QAccessible::State s = QAccessibleWidget::state();
    s.linked = true;
    return s;
}

QStringList TURLLabelAccessible::actionNames() const {
    if (!label()->isEnabled())
        return {};
    return {pressAction()};
}

void TURLLabelAccessible::doAction(const QString& actionName) {
    if (actionName != pressAction() || !label()->isEnabled())
        return;
    // From the event loop, as a click would: the reader's call returns at once.
    QPointer<TURLLabel> target(label());
    QMetaObject::invokeMethod(
        target,
        [target] {
            if (target)
                target->openTarget();
        },
        Qt::QueuedConnection);
}
