#include "controls/AccessibleNotice.h"

namespace tb {

namespace {
QAccessible::UpdateHandler g_receiver = nullptr;
}

bool noticesHeard() {
    return g_receiver || QAccessible::isActive();
}

void sendNotice(QAccessibleEvent& event) {
    if (g_receiver)
        g_receiver(&event);
    else
        QAccessible::updateAccessibility(&event);
}

void sendNameChanged(QObject* control) {
    QAccessibleEvent event(control, QAccessible::NameChanged);
    sendNotice(event);
}

void setNoticeReceiver(QAccessible::UpdateHandler receiver) {
    g_receiver = receiver;
}

} // namespace tb
