#include "controls/TransBtn.h"

#include <QBitmap>
#include <QIcon>
#include <QStyleOptionButton>
#include <QStylePainter>

TTransparentButton::TTransparentButton(QWidget* parent) : QAbstractButton(parent) {
    setFocusPolicy(Qt::NoFocus);
    resize(sizeHint());
    connect(this, &QAbstractButton::clicked, this, &TTransparentButton::OnClick);
}

QSize TTransparentButton::sizeHint() const {
    return {40, 40};
}

void TTransparentButton::setGlyph(const QPixmap& glyph) {
    glyph_ = glyph;
    update();
}

void TTransparentButton::setNumGlyphs(int count) {
    count = qBound(1, count, 4);
    if (numGlyphs_ == count)
        return;
    numGlyphs_ = count;
    update();
}

void TTransparentButton::setTransparent(bool on) {
    if (transparent_ == on)
        return;
    transparent_ = on;
    update();
}

void TTransparentButton::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    if (glyph_.isNull()) {
        QStyleOptionButton option;
        option.initFrom(this);
        option.text = text();
        option.icon = icon();
        option.iconSize = iconSize();
        if (isDown())
            option.state |= QStyle::State_Sunken;
        painter.drawControl(QStyle::CE_PushButton, option);
        return;
    }

    if (!transparent_)
        painter.fillRect(rect(), palette().color(QPalette::Button));
    // The glyph sinks a pixel while pressed, like a pushed key.
    const QRect glyphArea = isDown() ? rect().translated(1, 1) : rect();
    const QIcon::Mode mode = isEnabled() ? QIcon::Normal : QIcon::Disabled;
    // The first cell, its bottom-left colour see-through.
    QPixmap cell = glyph_.copy(0, 0, glyph_.width() / numGlyphs_, glyph_.height());
    const QImage image = cell.toImage();
    if (!image.isNull())
        cell.setMask(cell.createMaskFromColor(QColor::fromRgba(image.pixel(0, image.height() - 1)),
                                              Qt::MaskInColor));
    QIcon(cell).paint(&painter, glyphArea, Qt::AlignCenter, mode);
}
