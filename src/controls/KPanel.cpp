#include "controls/KPanel.h"

#include "controls/AccessibleNotice.h"
#include <QPainter>
#include <algorithm>
#include <cstdlib>

namespace {

tb::Rgb rgbOf(const QColor& color) {
    return {static_cast<std::uint8_t>(color.red()), static_cast<std::uint8_t>(color.green()),
            static_cast<std::uint8_t>(color.blue())};
}

// Ellipses that have shrunk past the centre come inverted; they are drawn the right way round.
QRect toQRect(const tb::panel::Rect& r) {
    return QRect(std::min(r.left, r.right), std::min(r.top, r.bottom), std::abs(r.right - r.left),
                 std::abs(r.bottom - r.top));
}

} // namespace

TKPanel::TKPanel(QWidget* parent) : QWidget(parent) {
    // The kept image covers every pixel, so nothing below need be drawn first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TKPanel::setBeginColor(const QColor& color) {
    if (color == beginColor_)
        return;
    beginColor_ = color;
    update();
}

void TKPanel::setEndColor(const QColor& color) {
    if (color == endColor_)
        return;
    endColor_ = color;
    update();
}

void TKPanel::setGradientStyle(TGradientStyle style) {
    if (style == gradientStyle_)
        return;
    gradientStyle_ = style;
    update();
}

void TKPanel::setAlignment(TAlignment alignment) {
    if (alignment == alignment_)
        return;
    alignment_ = alignment;
    update();
}

void TKPanel::setBevelInner(TBevelCut cut) {
    if (cut == bevelInner_)
        return;
    bevelInner_ = cut;
    update();
}

void TKPanel::setBevelOuter(TBevelCut cut) {
    if (cut == bevelOuter_)
        return;
    bevelOuter_ = cut;
    update();
}

void TKPanel::setBevelWidth(int width) {
    width = std::max(width, 1);
    if (width == bevelWidth_)
        return;
    bevelWidth_ = width;
    update();
}

void TKPanel::setCaption(const QString& caption) {
    if (caption == caption_)
        return;
    caption_ = caption;
    update();
    // The caption names the panel to readers.
    tb::sendNameChanged(this);
}

void TKPanel::paintEvent(QPaintEvent*) {
    if (width() <= 0 || height() <= 0)
        return;
    if (image_.size() != size())
        image_ = QImage(size(), QImage::Format_RGB32);
    drawInto(image_);
    QPainter(this).drawImage(0, 0, image_);
}

void TKPanel::drawInto(QImage& image) const {
    const int w = image.width(), h = image.height();
    // The rectangle style leaves the outermost pixels of wide panels unpainted; they get
    // the starting colour, so that no earlier picture shows there.
    image.fill(beginColor_);
    QPainter painter(&image);
    painter.setPen(Qt::NoPen);
    for (const tb::panel::GradientFill& fill :
         tb::panel::gradientFills(gradientStyle_, w, h, rgbOf(beginColor_), rgbOf(endColor_))) {
        const QColor color(fill.color.red, fill.color.green, fill.color.blue);
        if (fill.ellipse) {
            painter.setBrush(color);
            painter.drawEllipse(toQRect(fill.area));
        } else {
            painter.fillRect(toQRect(fill.area), color);
        }
    }

    if (!caption_.isEmpty()) {
        painter.setFont(font());
        painter.setPen(palette().color(QPalette::WindowText));
        const QFontMetrics metrics(font());
        const int left = tb::panel::captionLeft(alignment_, w, metrics.horizontalAdvance(caption_),
                                                bevelInner_, bevelOuter_, bevelWidth_);
        const int top = tb::panel::captionTop(h, metrics.height());
        painter.drawText(left, top + metrics.ascent(), caption_);
    }

    const QColor highlight = palette().color(QPalette::Light);
    const QColor shadow = palette().color(QPalette::Dark);
    for (const tb::panel::BevelStroke& stroke :
         tb::panel::bevelStrokes(w, h, bevelInner_, bevelOuter_, bevelWidth_))
        painter.fillRect(toQRect(stroke.area), stroke.highlight ? highlight : shadow);
}
