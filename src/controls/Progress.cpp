#include "controls/Progress.h"

#include <QLinearGradient>
#include <QPainter>
#include <algorithm>

TProgress::TProgress(QWidget* parent) : QWidget(parent) {}

void TProgress::setProgress(int percent) {
    percent = std::clamp(percent, 0, 100);
    if (progress_ == percent)
        return;
    progress_ = percent;
    update();
}

void TProgress::setFromColor(const QColor& color) {
    if (fromColor_ == color)
        return;
    fromColor_ = color;
    update();
}

void TProgress::setToColor(const QColor& color) {
    if (toColor_ == color)
        return;
    toColor_ = color;
    update();
}

void TProgress::setBackColor(const QColor& color) {
    if (backColor_ == color)
        return;
    backColor_ = color;
    update();
}

void TProgress::setBorderColor(const QColor& color) {
    if (borderColor_ == color)
        return;
    borderColor_ = color;
    update();
}

void TProgress::setTextFont(const QFont& font, const QColor& color) {
    // Kept for the full gauge; the program shows no text on it, so nothing repaints.
    textFont_ = font;
    textColor_ = color;
}

void TProgress::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(borderColor_);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));

    const QRect inner = rect().adjusted(1, 1, -1, -1);
    painter.fillRect(inner, backColor_);

    const int filledWidth = inner.width() * progress_ / 100;
    if (filledWidth <= 0)
        return;
    const QRect filled(inner.topLeft(), QSize(filledWidth, inner.height()));
    QLinearGradient gradient(filled.topLeft(), filled.topRight());
    gradient.setColorAt(0, fromColor_);
    gradient.setColorAt(1, toColor_);
    painter.fillRect(filled, gradient);
}
