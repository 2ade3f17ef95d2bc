#pragma once

#include <QAccessibleWidget>

class TBaloonHintWindow;

// What a screen reader sees of the balloon: a tool tip whose name is the hint's text.
class TBaloonHintWindowAccessible : public QAccessibleWidget {
public:
    explicit TBaloonHintWindowAccessible(TBaloonHintWindow* balloon);

    QString text(QAccessible::Text t) const override;
};
