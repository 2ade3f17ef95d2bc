#include "controls/TransBtn.h"

#include <QIcon>
#include <QStyleOptionButton>
#include <QStylePainter>

TTransparentButton::TTransparentButton(QWidget* parent) : QAbstractButton(parent) {
    setFocusPolicy(Qt::NoFocus);
    resize(sizeHint());
}

QSize TTransparentButton::sizeHint() const {
    return {40, 40};
}

void TTransparentButton::setGlyph(const QPixmap& glyph) {
    glyph_ = glyph;
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
    QIcon(glyph_).paint(&painter, glyphArea, Qt::AlignCenter, mode);
}
