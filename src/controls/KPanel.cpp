#include "controls/KPanel.h"

#include <QLinearGradient>
#include <QPainter>

TKPanel::TKPanel(QWidget* parent) : QWidget(parent) {}

void TKPanel::setBeginColor(QColor color) {
    beginColor_ = color;
    update();
}

void TKPanel::setEndColor(QColor color) {
    endColor_ = color;
    update();
}

void TKPanel::setGradientStyle(GradientStyle style) {
    gradientStyle_ = style;
    update();
}

void TKPanel::setBevelInner(Bevel bevel) {
    bevelInner_ = bevel;
    update();
}

void TKPanel::setBevelOuter(Bevel bevel) {
    bevelOuter_ = bevel;
    update();
}

void TKPanel::setBevelWidth(int width) {
    bevelWidth_ = width;
    update();
}

void TKPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const bool across = gradientStyle_ == GradientStyle::gsHorizontal;
    QLinearGradient gradient(0, 0, across ? width() : 0, across ? 0 : height());
    gradient.setColorAt(0, beginColor_);
    gradient.setColorAt(1, endColor_);
    painter.fillRect(rect(), gradient);
    int rings = 0;
    for (Bevel bevel : {bevelOuter_, bevelInner_})
        if (bevel != Bevel::bvNone)
            rings += bevelWidth_;
    const QColor shadow = palette().color(QPalette::Dark);
    const QColor light = palette().color(QPalette::Light);
    for (int i = 0; i < rings; ++i) {
        const QRect ring = rect().adjusted(i, i, -i - 1, -i - 1);
        painter.setPen(shadow);
        painter.drawLine(ring.topLeft(), ring.topRight());
        painter.drawLine(ring.topLeft(), ring.bottomLeft());
        painter.setPen(light);
        painter.drawLine(ring.bottomLeft(), ring.bottomRight());
        painter.drawLine(ring.topRight(), ring.bottomRight());
    }
}
