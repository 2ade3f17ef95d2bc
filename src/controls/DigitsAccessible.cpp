#include "controls/DigitsAccessible.h"

#include "controls/Digits.h"

namespace {

QString twoDigits(int number) {
    return QStringLiteral("%1").arg(number % 100, 2, 10, QLatin1Char('0'));
}

// The shown quantity as a reader says it: "42", "13:05:00", "24.12.99".
QString shownText(const TDigits* digits) {
    const int number = digits->shownNumber();
    switch (digits->Mode()) {
    case TDigitsMode::dmTime: {
        const bool twelveHours = digits->BmpAMPMSign() && !digits->BmpAMPMSign()->isNull();
        const int shown = twelveHours ? tb::digits::twelveHourForm(number) : number;
        QString text = QStringLiteral("%1:%2:%3")
                           .arg(shown / 10000)
                           .arg(twoDigits(shown / 100), twoDigits(shown));
        if (twelveHours)
            text += number < 120000 ? QStringLiteral(" AM") : QStringLiteral(" PM");
        return text;
    }
    case TDigitsMode::dmDate:
        return twoDigits(number / 10000) + QLatin1Char('.') + twoDigits(number / 100) +
               QLatin1Char('.') + twoDigits(number);
    case TDigitsMode::dmCounter:
        break;
    }
    // A reader hears what the eye sees, without the leading zeros.
    return QString::number(
        tb::digits::shownCounter(number, digits->DigitCount(), digits->AllowNegative()));
}

// The widest number that the cells hold.
int widestNumber(const TDigits* digits) {
    return static_cast<int>(tb::digits::wrapLimit(digits->DigitCount()) - 1);
}

} // namespace

TDigitsAccessible::TDigitsAccessible(TDigits* digits)
    : QAccessibleWidget(digits, QAccessible::StaticText) {}

const TDigits* TDigitsAccessible::digits() const {
    return static_cast<const TDigits*>(object());
}

void* TDigitsAccessible::interface_cast(QAccessible::InterfaceType t) {
    if (t == QAccessible::ValueInterface)
        return static_cast<QAccessibleValueInterface*>(this);
    return QAccessibleWidget::interface_cast(t);
}

QString TDigitsAccessible::text(QAccessible::Text t) const {
    switch (t) {
    case QAccessible::Name:
        if (!digits()->accessibleName().isEmpty())
            return digits()->accessibleName();
        return digits()->toolTip();
    case QAccessible::Description:
        // The hint names the counter already.
        return digits()->accessibleDescription();
    case QAccessible::Value:
        return shownText(digits());
    default:
        return QAccessibleWidget::text(t);
    }
}

QVariant TDigitsAccessible::currentValue() const {
    return digits()->shownNumber();
}

QVariant TDigitsAccessible::maximumValue() const {
    switch (digits()->Mode()) {
    case TDigitsMode::dmTime:
        return 235959;
    case TDigitsMode::dmDate:
        return 999999;
    case TDigitsMode::dmCounter:
        break;
    }
    return widestNumber(digits());
}

QVariant TDigitsAccessible::minimumValue() const {
    if (digits()->Mode() == TDigitsMode::dmCounter && digits()->AllowNegative())
        return -widestNumber(digits());
    return 0;
}
