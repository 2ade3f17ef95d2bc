#include "controls/TransBtnAccessible.h"

#include "controls/TransBtn.h"

#include <QPointer>

namespace {

// The caption as read aloud: a single ampersand marks the accelerator and is dropped,
// a doubled one stands for one ampersand.
QString withoutAccelerator(const QString& caption) {
    QString plain;
    plain.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption.at(i) == QLatin1Char('&')) {
            if (i + 1 >= caption.size())
                break;
            ++i; // the character after an ampersand is kept, a second ampersand included
        }
        plain.append(caption.at(i));
    }
    return plain;
}

} // namespace

TTransparentButtonAccessible::TTransparentButtonAccessible(TTransparentButton* button)
    : QAccessibleWidget(button, QAccessible::Button) {}

TTransparentButton* TTransparentButtonAccessible::button() const {
    return static_cast<TTransparentButton*>(widget());
}

QString TTransparentButtonAccessible::text(QAccessible::Text t) const {
    const TTransparentButton* b = button();
    switch (t) {
    case QAccessible::Name: {
        const QString caption = withoutAccelerator(b->Caption());
        if (!caption.isEmpty())
            return caption;
        if (!b->toolTip().isEmpty())
            return b->toolTip();
        return b->accessibleName();
    }
    case QAccessible::Description:
        // The hint already serves as the name when there is no caption.
        if (b->Caption().isEmpty() && !b->toolTip().isEmpty())
            return b->accessibleDescription();
        return QAccessibleWidget::text(t);
    case QAccessible::Accelerator:
        return b->acceleratorKey();
    default:
        return QAccessibleWidget::text(t);
    }
}

QAccessible::State TTransparentButtonAccessible::state() const {
    QAccessible::State s = QAccessibleWidget::state();
    s.pressed = button()->pressedLook() || button()->Down();
    return s;
}

QStringList TTransparentButtonAccessible::actionNames() const {
    if (!button()->isEnabled())
        return {};
    return {pressAction()};
}

void TTransparentButtonAccessible::doAction(const QString& actionName) {
    if (actionName != pressAction() || !button()->isEnabled())
        return;
    // Later, from the event loop: a click that opens a modal window must not hold the
    // screen reader's call until that window closes.
    QPointer<TTransparentButton> target(button());
    QMetaObject::invokeMethod(
        target,
        [target] {
            if (target)
                target->click();
        },
        Qt::QueuedConnection);
}

QStringList TTransparentButtonAccessible::keyBindingsForAction(const QString& actionName) const {
    const QString key = text(QAccessible::Accelerator);
    if (actionName == pressAction() && !key.isEmpty())
        return {key};
    return {};
}
