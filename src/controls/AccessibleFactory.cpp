#include "controls/AccessibleFactory.h"

#include "controls/BalHint.h"
#include "controls/BalHintAccessible.h"
#include "controls/Digits.h"
#include "controls/DigitsAccessible.h"
#include "controls/KPanel.h"
#include "controls/KPanelAccessible.h"
#include "controls/Lcd99.h"
#include "controls/Lcd99Accessible.h"
#include "controls/Progress.h"
#include "controls/ProgressAccessible.h"
#include "controls/TransBtn.h"
#include "controls/TransBtnAccessible.h"
#include "controls/URLLabel.h"
#include "controls/URLLabelAccessible.h"

#include <QAccessible>

namespace {

// Asked with each class name of the object's class chain, most derived first, before Qt's
// own interfaces; matched by type on the first ask, so a TURLLabel is a link here, not the
// label its base class would give.
QAccessibleInterface* controlInterface(const QString&, QObject* object) {
    if (auto* button = qobject_cast<TTransparentButton*>(object))
        return new TTransparentButtonAccessible(button);
    if (auto* digits = qobject_cast<TDigits*>(object))
        return new TDigitsAccessible(digits);
    if (auto* display = qobject_cast<TLCD99*>(object))
        return new TLCD99Accessible(display);
    if (auto* gauge = qobject_cast<TProgress*>(object))
        return new TProgressAccessible(gauge);
    if (auto* label = qobject_cast<TURLLabel*>(object))
        return new TURLLabelAccessible(label);
    if (auto* panel = qobject_cast<TKPanel*>(object))
        return new TKPanelAccessible(panel);
    if (auto* balloon = qobject_cast<TBaloonHintWindow*>(object))
        return new TBaloonHintWindowAccessible(balloon);
    return nullptr;
}

} // namespace

void installAccessibleFactory() {
    static const bool installed = [] {
        QAccessible::installFactory(controlInterface);
        return true;
    }();
    (void)installed;
}
