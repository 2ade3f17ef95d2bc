#include "controls/Lcd99.h"

#include "controls/AccessibleNotice.h"

#include <QPainter>
#include <QRandomGenerator>

using namespace tb::lcd;

namespace {

QRect toQRect(const Rect& r) {
    return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

std::string asciiOf(const QString& text) {
    // Anything outside ASCII turns into bytes of 0x80 and above, which no cell shows.
    return text.toUtf8().toStdString();
}

} // namespace

TLCD99::TLCD99(QWidget* parent) : TPointerControl(parent) {
    // Every paint covers the whole area, so the system need not clear it first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(92, 34);
    stepTimer_.setParent(this);
    stepTimer_.setTimerType(Qt::PreciseTimer);
    connect(&stepTimer_, &QTimer::timeout, this, &TLCD99::advanceChange);
}

template <typename T> void TLCD99::setAndInvalidate(T& field, const T& value) {
    if (field == value)
        return;
    field = value;
    update();
}

void TLCD99::setColor(const QColor& color) {
    setAndInvalidate(color_, color);
}
void TLCD99::setDigitNum(int cells) {
    const QString before = tb::noticesHeard() ? shownText() : QString();
    setAndInvalidate(digitNum_, cells);
    announceShown(before);
}
void TLCD99::setDigitSpacing(int pixels) {
    setAndInvalidate(digitSpacing_, pixels);
}
void TLCD99::setGapX(int pixels) {
    setAndInvalidate(gapX_, pixels);
}
void TLCD99::setGapY(int pixels) {
    setAndInvalidate(gapY_, pixels);
}
void TLCD99::setOffColor(const QColor& color) {
    setAndInvalidate(offColor_, color);
}
void TLCD99::setOnColor(const QColor& color) {
    setAndInvalidate(onColor_, color);
}
void TLCD99::setSegmentSize(int pixels) {
    setAndInvalidate(segmentSize_, pixels);
}

void TLCD99::setValue(const QString& value) {
    if (value == value_)
        return;
    const QString before = tb::noticesHeard() ? shownText() : QString();
    value_ = QString::fromLatin1(normaliseValue(asciiOf(value)));
    update();
    announceShown(before);
}

QString TLCD99::shownText() const {
    if (digitNum_ < 1)
        return {};
    // The stored value holds only characters that the cells can show, all of them ASCII.
    const CellTexts split = splitValue(value_.toStdString(), digitNum_);
    QString shown;
    for (int i = 0; i < digitNum_ && i < static_cast<int>(split.chars.size()); ++i) {
        if (i < static_cast<int>(split.points.size()) && split.points[i] == '.')
            shown += QLatin1Char('.');
        shown += QLatin1Char(split.chars[i]);
    }
    return shown.trimmed();
}

void TLCD99::announceShown(const QString& before) {
    if (!tb::noticesHeard())
        return;
    const QString shown = shownText();
    if (shown == before)
        return;
    QAccessibleValueChangeEvent changed(this, shown);
    tb::sendNotice(changed);
    if (accessibleName().isEmpty())
        tb::sendNameChanged(this);
}

// A change starts with the paint that first sees the new value: the old picture and the
// first step at once, the other steps from the timer.
void TLCD99::beginChange() {
    const TLCDAnimation order =
        animation_ == TLCDAnimation::anRandom
            ? randomOrder(static_cast<int>(QRandomGenerator::global()->bounded(5)))
            : animation_;
    change_ = Change{asciiOf(lastValue_), asciiOf(value_), segmentOrder(order)};
    changing_ = true;
    const int spacing = stepSpacing(animation_, animationDelay_);
    if (spacing == 0) {
        stepsDrawn_ = kSteps;
        return;
    }
    stepsDrawn_ = 1;
    stepTimer_.start(spacing);
}

void TLCD99::advanceChange() {
    if (stepsDrawn_ < kSteps) {
        ++stepsDrawn_;
        repaint();
        return;
    }
    endChange(); // the last step has stood for its share of the time too
}

void TLCD99::endChange() {
    stepTimer_.stop();
    changing_ = false;
    lastValue_ = QString::fromLatin1(change_.to);
    if (value_ != lastValue_)
        update(); // a value set meanwhile is the next change
}

void TLCD99::paintEvent(QPaintEvent*) {
    if (!changing_ && value_ != lastValue_)
        beginChange();

    QPainter painter(this);
    painter.fillRect(rect(), color_);
    const Geometry geometry(width(), height(), digitNum_, digitSpacing_, gapX_, gapY_,
                            segmentSize_);
    const std::string settled = asciiOf(lastValue_);
    const std::vector<Draw> draws =
        changing_ ? frameDraws(change_, stepsDrawn_, digitNum_)
                  : frameDraws({settled, settled, segmentOrder(TLCDAnimation::anDown)}, kSteps,
                               digitNum_);
    for (const Draw& draw : draws) {
        const QColor& colour = draw.lit ? onColor_ : offColor_;
        if (draw.segment == kDecimalPoint) {
            painter.fillRect(toQRect(geometry.decimalPoint(draw.cell)), colour);
        } else if (draw.segment == 8) {
            // Filled and outlined, so that a dot of a pixel or two still shows: the
            // outline of a box w x h covers its w x h pixels, so it is drawn one less.
            painter.setPen(colour);
            painter.setBrush(colour);
            for (const Rect& dot : geometry.colon(draw.cell))
                painter.drawEllipse(toQRect(dot).adjusted(0, 0, -1, -1));
        } else {
            const Hexagon corners = geometry.segment(draw.cell, draw.segment);
            QPoint points[6];
            for (std::size_t i = 0; i < corners.size(); ++i)
                points[i] = QPoint(corners[i].x, corners[i].y);
            painter.setPen(colour);
            painter.setBrush(colour);
            painter.drawPolygon(points, 6);
        }
    }

    if (changing_ && !stepTimer_.isActive())
        endChange(); // unpaced: the whole change was this one frame
}
