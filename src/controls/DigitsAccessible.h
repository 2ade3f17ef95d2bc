#pragma once

#include <QAccessibleValueInterface>
#include <QAccessibleWidget>

class TDigits;

// What a screen reader sees of the digit counter: a read-only text holding the number (or
// the time or date) as shown, also offered as a value.
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

    // The shown quantity as one number: the counter's value, HHMMSS, or the date's digits.
    static int shownNumber(const TDigits* digits);
    // The shown quantity as a reader says it: "42", "13:05:00", "24.12.99".
    static QString shownText(const TDigits* digits);

private:
    const TDigits* digits() const;
};

// Tells screen readers that the counter shows a new value. Changes within one event
// (a batch of added files) come out as one notice, sent from the event loop with the value
// then shown, so that a reader is not flooded; the frames of a roll send none.
void announceDigitsValue(TDigits* digits);

// Where the notices go: Qt's accessibility, which passes them to a listening screen reader
// (and drops them when none listens); a test puts in its own receiver, null restores Qt's.
using ValueNoticeSink = void (*)(QAccessibleEvent* event);
void setValueNoticeSink(ValueNoticeSink sink);
