#pragma once

#include <QAccessibleWidget>

class TLCD99;

// What a screen reader sees of the LCD display: a read-only text holding the characters
// that the cells show, decimal points in their places.
class TLCD99Accessible : public QAccessibleWidget {
public:
    explicit TLCD99Accessible(TLCD99* display);

    QString text(QAccessible::Text t) const override;
};
