#pragma once

#include <QAccessible>

// How the controls tell screen readers of a change from their setters, as Qt's own widgets
// do through QAccessible::updateAccessibility. Qt passes a notice on only while a reader
// listens, and drops it otherwise: the offscreen test platform never has one, so a test
// puts in its own receiver to see what the controls send.
namespace tb {

// Whether a notice would reach anyone: a listening reader or a test's receiver. A control
// asks first where working out the notice costs something.
bool noticesHeard();
void sendNotice(QAccessibleEvent& event);
// The notice of a control whose name (its caption or text) changed.
void sendNameChanged(QObject* control);
// Null gives the notices back to Qt.
void setNoticeReceiver(QAccessible::UpdateHandler receiver);

} // namespace tb
