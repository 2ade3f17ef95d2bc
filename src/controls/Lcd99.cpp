#include "controls/Lcd99.h"

#include <QPainter>
#include <algorithm>

TLCD99::TLCD99(QWidget* parent) : QWidget(parent) {}

void TLCD99::setValue(const QString& value) {
    if (value_ == value)
        return;
    value_ = value;
    update();
}

void TLCD99::setDigitNum(int digits) {
    digits = std::max(digits, 1);
    if (digitNum_ == digits)
        return;
    digitNum_ = digits;
    update();
}

void TLCD99::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);

    QFont font(QStringLiteral("Monospace"));
    font.setStyleHint(QFont::TypeWriter);
    font.setBold(true);
    font.setPixelSize(std::max(height() * 4 / 5, 1));
    painter.setFont(font);
    painter.setPen(QColor(0x20, 0xe0, 0x20));
    // Like a real display, only the last DigitNum characters fit.
    painter.drawText(rect(), Qt::AlignRight | Qt::AlignVCenter, value_.right(digitNum_));
}
