#pragma once

#include "controls/AccessibleNotice.h"

#include <QAccessible>
#include <QList>
#include <QVariant>

namespace tb::test {

// Records the notices that the controls send to screen readers while it lives.
class NoticeRecorder {
public:
    NoticeRecorder() {
        notices().clear();
        tb::setNoticeReceiver(&record);
    }
    ~NoticeRecorder() { tb::setNoticeReceiver(nullptr); }
    NoticeRecorder(const NoticeRecorder&) = delete;
    NoticeRecorder& operator=(const NoticeRecorder&) = delete;

    // The notices of one kind about one object, in order: the value each value change
    // carries, an empty one for other kinds.
    QVariantList of(QAccessible::Event type, const QObject* object) const {
        QVariantList found;
        for (const Notice& notice : notices())
            if (notice.type == type && notice.object == object)
                found.append(notice.value);
        return found;
    }
    int count(QAccessible::Event type, const QObject* object) const {
        return static_cast<int>(of(type, object).size());
    }
    void clear() { notices().clear(); }

private:
    struct Notice {
        QAccessible::Event type;
        const QObject* object;
        QVariant value;
    };
    static QList<Notice>& notices() {
        static QList<Notice> recorded;
        return recorded;
    }
    static void record(QAccessibleEvent* event) {
        QVariant value;
        if (event->type() == QAccessible::ValueChanged)
            value = static_cast<QAccessibleValueChangeEvent*>(event)->value();
        notices().append({event->type(), event->object(), value});
    }
};

} // namespace tb::test
