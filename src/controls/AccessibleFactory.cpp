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
// own interfaces; so a TURLLabel is a link here, not the label its base class would give.
QAccessibleInterface* controlInterface(const QString& className, QObject* object) {
    if (!object || !object->isWidgetType())
        return nullptr;
    if (className == QLatin1String("TTransparentButton"))
        return new TTransparentButtonAccessible(static_cast<TTransparentButton*>(object));
    if (className == QLatin1String("TDigits"))
        return new TDigitsAccessible(static_cast<TDigits*>(object));
    if (className == QLatin1String("TLCD99"))
        return new TLCD99Accessible(static_cast<TLCD99*>(object));
    if (className == QLatin1String("TProgress"))
        return new TProgressAccessible(static_cast<TProgress*>(object));
    if (className == QLatin1String("TURLLabel"))
        return new TURLLabelAccessible(static_cast<TURLLabel*>(object));
    if (className == QLatin1String("TKPanel"))
        return new TKPanelAccessible(static_cast<TKPanel*>(object));
    if (className == QLatin1String("TBaloonHintWindow"))
        return new TBaloonHintWindowAccessible(static_cast<TBaloonHintWindow*>(object));
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
