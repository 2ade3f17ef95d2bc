#pragma once

#include <QAccessibleValueInterface>
#include <QAccessibleWidget>

class TDigits;

// What a screen reader sees of the digit counter: a read-only text holding the number (or
// the time or date) as shown, also offered as a value. The counter sends its own notices.
class TDigitsAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit TDigitsAccessible(TDigits* digits);

    void* interface_cast(QAccessible::InterfaceType t) override;
    QString text(QAccessible::Text t) const override;

    QVariant currentValue() const override;
    void setCurrentValue(const QVariant&) override {} // the counter is not set by its readers
    QVariant maximumValue() const override;
    QVariant minimumValue() const override;
    QVariant minimumStepSize() const override { return 1; }

private:
    const TDigits* digits() const;
};
