#include "controls/DigitsAccessible.h"

#include "controls/Digits.h"

#include <QLocale>
#include <QPointer>
#include <limits>

namespace {

// The widest number that the cells hold: 10^count - 1, kept within an int.
int widestNumber(int digitCount) {
    long long widest = 1;
    for (int i = 0; i < digitCount; ++i)
        widest *= 10;
    return static_cast<int>(std::min<long long>(widest - 1, std::numeric_limits<int>::max()));
}

QString twoDigits(int number) {
    return QStringLiteral("%1").arg(number % 100, 2, 10, QLatin1Char('0'));
}

tb::digits::DateOrder dateOrder() {
    const QString format = QLocale::system().dateFormat(QLocale::ShortFormat);
    return tb::digits::dateOrderOf(format.isEmpty() ? U'\0' : format.front().unicode());
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

int TDigitsAccessible::shownNumber(const TDigits* digits) {
    switch (digits->Mode()) {
    case TDigitsMode::dmTime:
        return tb::digits::timeNumber(digits->DateTime());
    case TDigitsMode::dmDate:
        return tb::digits::dateNumber(digits->DateTime(), dateOrder());
    case TDigitsMode::dmCounter:
        break;
    }
    return digits->Value();
}

QString TDigitsAccessible::shownText(const TDigits* digits) {
    const int number = shownNumber(digits);
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
    // The cells hold only the lowest digits, and a sign only when negatives are allowed;
    // a reader hears what the eye sees, without the leading zeros.
    long long modulus = 1;
    for (int i = 0; i < digits->DigitCount(); ++i)
        modulus *= 10;
    const long long magnitude = (number < 0 ? -static_cast<long long>(number) : number) % modulus;
    const bool negative = number < 0 && digits->AllowNegative() && magnitude != 0;
    return (negative ? QStringLiteral("-") : QString()) + QString::number(magnitude);
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
    return shownNumber(digits());
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
    return widestNumber(digits()->DigitCount());
}

QVariant TDigitsAccessible::minimumValue() const {
    if (digits()->Mode() == TDigitsMode::dmCounter && digits()->AllowNegative())
        return -widestNumber(digits()->DigitCount());
    return 0;
}

namespace {
ValueNoticeSink g_valueNoticeSink = nullptr;
}

void setValueNoticeSink(ValueNoticeSink sink) {
    g_valueNoticeSink = sink;
}

void announceDigitsValue(TDigits* digits) {
    static const char* const kPending = "tbValueNoticePending";
    // Nothing to do while no reader listens; a reader that comes later asks for the value.
    if (!g_valueNoticeSink && !QAccessible::isActive())
        return;
    if (digits->property(kPending).toBool())
        return;
    digits->setProperty(kPending, true);
    QPointer<TDigits> target(digits);
    QMetaObject::invokeMethod(
        digits,
        [target] {
            if (!target)
                return;
            target->setProperty(kPending, false);
            QAccessibleValueChangeEvent event(target.data(),
                                              TDigitsAccessible::shownNumber(target.data()));
            if (g_valueNoticeSink)
                g_valueNoticeSink(&event);
            else
                QAccessible::updateAccessibility(&event);
        },
        Qt::QueuedConnection);
}
