#include "controls/Progress.h"

#include "controls/AccessibleNotice.h"
#include "controls/ProgressMath.h"

#include <QPainter>

using namespace tb::gauge;

namespace {

Rgb bytesOf(const QColor& colour) {
    return {static_cast<std::uint8_t>(colour.red()), static_cast<std::uint8_t>(colour.green()),
            static_cast<std::uint8_t>(colour.blue())};
}

// The text drawn black on white; the pixels in full black are its ink. Glyphs are drawn
// without smoothing so that every stroke pixel is full black and inverts.
TextInk inkOf(const QString& text, QFont font) {
    const QFontMetrics metrics(font);
    TextInk ink{metrics.horizontalAdvance(text), metrics.height(), {}};
    if (ink.width <= 0 || ink.height <= 0)
        return {};
    QImage box(ink.width, ink.height, QImage::Format_RGB32);
    box.fill(Qt::white);
    {
        QPainter painter(&box);
        font.setStyleStrategy(QFont::NoAntialias);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(QRect(0, 0, ink.width, ink.height),
                         Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
    }
    ink.ink.resize(static_cast<std::size_t>(ink.width) * static_cast<std::size_t>(ink.height));
    for (int y = 0; y < ink.height; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(box.constScanLine(y));
        for (int x = 0; x < ink.width; ++x)
            ink.ink[static_cast<std::size_t>(y * ink.width + x)] = qRgb(0, 0, 0) == line[x];
    }
    return ink;
}

} // namespace

TProgress::TProgress(QWidget* parent) : TPointerControl(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent); // the composed picture covers the whole control
    resize(217, 40);
}

void TProgress::setBackColor(const QColor& color) {
    backColor_ = color;
    update();
}

void TProgress::setBorderColor(const QColor& color) {
    borderColor_ = color;
    update();
}

void TProgress::setFromColor(const QColor& color) {
    fromColor_ = color;
    update();
}

void TProgress::setToColor(const QColor& color) {
    toColor_ = color;
    update();
}

void TProgress::setProgress(int percent) {
    if (percent > 100 || percent == progress_)
        return;
    const int before = readValue();
    progress_ = percent;
    repaint();
    if (readValue() != before) {
        QAccessibleValueChangeEvent event(this, readValue());
        tb::sendNotice(event);
    }
}

void TProgress::setText(const QString& text) {
    const bool renamed = text != text_;
    text_ = text;
    repaint();
    if (renamed)
        tb::sendNameChanged(this);
}

void TProgress::setTextFont(const QFont& font) {
    textFont_ = font;
    update();
}

void TProgress::paintEvent(QPaintEvent*) {
    const Look look{bytesOf(backColor_), bytesOf(borderColor_), bytesOf(fromColor_),
                    bytesOf(toColor_), progress_};
    std::vector<std::uint32_t> pixels =
        composeGauge(width(), height(), look, inkOf(text_, textFont_));
    if (pixels.empty())
        return;
    const QImage picture(reinterpret_cast<const uchar*>(pixels.data()), width(), height(),
                         width() * 4, QImage::Format_RGB32);
    QPainter(this).drawImage(0, 0, picture);
}
