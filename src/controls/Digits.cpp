#include "controls/Digits.h"

#include "controls/AccessibleNotice.h"

#include <QDateTime>
#include <QLocale>
#include <QPainter>
#include <algorithm>
#include <stdexcept>

namespace digits = tb::digits;

namespace {

constexpr int ClockIntervalMs = 100;
// Frames that follow each other closer than this are never presented: a window system
// shows at most one picture per refresh. A burst of steps (a whole batch of files added
// in one event) therefore flushes the window once and leaves the rest to one deferred paint.
constexpr qint64 DirectPaintGapMs = 8;

digits::BitmapSize sizeOf(const QImage& image) {
    return {image.width(), image.height(), true};
}

digits::BitmapSize sizeOf(const std::optional<QImage>& image) {
    return image ? sizeOf(*image) : digits::BitmapSize{0, 0, false};
}

// The current local date and time as a day count.
double nowDayCount() {
    const QDateTime now = QDateTime::currentDateTime();
    const QDate date = now.date();
    return digits::dayCount(date.year(), date.month(), date.day(),
                            now.time().msecsSinceStartOfDay());
}

digits::DateOrder userDateOrder() {
    const QString format = QLocale::system().dateFormat(QLocale::ShortFormat);
    return digits::dateOrderOf(format.isEmpty() ? U'\0' : format.front().unicode());
}

} // namespace

TDigits::TDigits(QWidget* parent) : TPointerControl(parent) {
    setFocusPolicy(Qt::NoFocus);
    resize(84, 20);
    rollTimer_.setTimerType(Qt::PreciseTimer); // frames evenly spaced, never early
    rollTimer_.setInterval(incDecSpeed_);
    connect(&rollTimer_, &QTimer::timeout, this, &TDigits::RollTick);
    clockTimer_.setInterval(ClockIntervalMs);
    connect(&clockTimer_, &QTimer::timeout, this, &TDigits::ClockTick);
}

void TDigits::setBmpDigits(const QImage& strip) {
    if (strip.isNull() || strip.width() % digits::StripCells != 0)
        throw std::invalid_argument("BmpDigits requires a bitmap that contains the digits 0 "
                                    "through 9 and an empty space of equal width");
    bmpDigits_ = strip;
    if (autoSize_)
        AdjustSize();
    else
        update();
}

bool TDigits::loadBmpDigits(const QString& fileName) {
    // Read into a temporary: a failed QImage::load would empty the strip in use.
    QImage loaded;
    if (!loaded.load(fileName))
        return false;
    bmpDigits_ = loaded;
    update();
    return true;
}

void TDigits::setBmpPosNegSign(const std::optional<QImage>& sign) {
    if (!sign) {
        if (bmpPosNegSign_) {
            bmpPosNegSign_.reset();
            allowNegative_ = false;
            update();
        }
        return;
    }
    if (sign->isNull() || sign->width() % 2 != 0)
        throw std::invalid_argument("BmpPosNegSign requires a bitmap that contains a positive "
                                    "sign and a negative sign of equal width");
    bmpPosNegSign_ = *sign;
    if (allowNegative_)
        resizeOrPaint();
}

void TDigits::setBmpThousandsSeparator(const std::optional<QImage>& separator) {
    if (!separator) {
        if (bmpThousandsSeparator_) {
            bmpThousandsSeparator_.reset();
            showThousandsSeparator_ = false;
            paintNow();
        }
        return;
    }
    bmpThousandsSeparator_ = *separator;
    showThousandsSeparator_ = showThousandsSeparator_ && !separator->isNull();
    resizeOrPaint();
}

void TDigits::setBmpTimeSeparator(const std::optional<QImage>& separator) {
    if (!separator) {
        if (bmpTimeSeparator_) {
            bmpTimeSeparator_.reset();
            if (mode_ == TDigitsMode::dmTime)
                paintNow();
        }
        return;
    }
    bmpTimeSeparator_ = *separator;
    if (mode_ == TDigitsMode::dmTime)
        resizeOrPaint();
}

void TDigits::setBmpDateSeparator(const std::optional<QImage>& separator) {
    if (!separator) {
        if (bmpDateSeparator_) {
            bmpDateSeparator_.reset();
            if (mode_ == TDigitsMode::dmDate)
                paintNow();
        }
        return;
    }
    bmpDateSeparator_ = *separator;
    if (mode_ == TDigitsMode::dmDate)
        resizeOrPaint();
}

void TDigits::setBmpAMPMSign(const std::optional<QImage>& sign) {
    if (!sign) {
        if (bmpAmPmSign_) {
            bmpAmPmSign_.reset();
            if (mode_ == TDigitsMode::dmTime)
                update();
        }
        return;
    }
    if (sign->width() % 2 != 0)
        throw std::invalid_argument("BmpAMPMSign requires a bitmap that contains an AM sign "
                                    "and a PM sign of equal width");
    bmpAmPmSign_ = *sign;
    if (mode_ == TDigitsMode::dmTime)
        resizeOrPaint();
}

void TDigits::setAllowNegative(bool on) {
    if (!bmpPosNegSign_ || bmpPosNegSign_->width() == 0)
        on = false;
    if (allowNegative_ == on)
        return;
    allowNegative_ = on;
    resizeOrPaint();
}

void TDigits::setAutoSize(bool on) {
    if (autoSize_ == on)
        return;
    autoSize_ = on;
    if (autoSize_)
        AdjustSize();
}

void TDigits::setDateTime(double dayCount) {
    dateTime_ = dayCount;
    paintNow();
    announceValue();
}

void TDigits::setDigitCount(int count) {
    count = std::clamp(count, digits::MinDigitCount, digits::MaxDigitCount);
    if (digitCount_ == count)
        return;
    digitCount_ = count;
    resizeOrPaint();
}

void TDigits::setIncDecSpeed(int milliseconds) {
    milliseconds = std::max(milliseconds, 1);
    if (incDecSpeed_ == milliseconds)
        return;
    incDecSpeed_ = milliseconds;
    rollTimer_.setInterval(milliseconds);
}

void TDigits::setIncDecSteps(int steps) {
    incDecSteps_ = steps;
}

void TDigits::setMode(TDigitsMode mode) {
    if (mode_ == mode)
        return;
    mode_ = mode;
    resizeOrPaint();
}

void TDigits::setRunning(bool on) {
    if (running_ == on)
        return;
    running_ = on;
    if (on)
        clockTimer_.start();
    else
        clockTimer_.stop();
}

void TDigits::setShowLeadingZeros(bool on) {
    if (showLeadingZeros_ == on)
        return;
    showLeadingZeros_ = on;
    paintNow();
}

void TDigits::setShowThousandsSeparator(bool on) {
    if (!bmpThousandsSeparator_ || bmpThousandsSeparator_->isNull())
        on = false;
    if (showThousandsSeparator_ == on)
        return;
    showThousandsSeparator_ = on;
    resizeOrPaint();
}

void TDigits::setValue(int value) {
    if (value < 0 && !allowNegative_)
        value = 0;
    if (value_ == value)
        return;
    value_ = value;
    paintNow();
    announceValue();
}

void TDigits::Increment() {
    stepBy(1);
}

void TDigits::Decrement() {
    stepBy(-1);
}

void TDigits::stepBy(int direction) {
    switch (mode_) {
    case TDigitsMode::dmCounter:
        value_ = direction > 0 ? digits::incremented(value_, digitCount_, allowNegative_)
                               : digits::decremented(value_, digitCount_, allowNegative_);
        break;
    case TDigitsMode::dmTime:
        dateTime_ += direction * digits::OneSecond;
        break;
    case TDigitsMode::dmDate:
        dateTime_ += direction;
        break;
    }
    rollToward(direction);
}

void TDigits::rollToward(int direction) {
    const int frames = std::max(incDecSteps_, 1) - 1;
    startRoll(direction > 0 ? frames : -frames);
    announceValue();
}

void TDigits::AdjustSize() {
    const int width = digits::autoSizeWidth(state());
    if (width < 0)
        return;
    setGeometry(x(), y(), width, bmpDigits_.height());
    // Unchanged bounds bring no repaint of their own, yet the layout may have changed.
    update();
}

void TDigits::startRoll(int rollStep) {
    rollStep_ = rollStep;
    paintNow();
    try {
        if (!rollTimer_.isActive())
            rollTimer_.start();
        if (onRotateStart_)
            onRotateStart_(this);
    } catch (...) {
        // A handler that fails ends the roll at once: the final picture, and the
        // failure stops here. A running timer ends the roll on its next tick.
        rollStep_ = 0;
        paintNow();
    }
}

void TDigits::RollTick() {
    if (rollStep_ != 0) {
        rollStep_ += rollStep_ < 0 ? 1 : -1;
        paintNow();
        return;
    }
    rollTimer_.stop();
    emit OnRotateEnd(this);
}

void TDigits::ClockTick() {
    if (mode_ != TDigitsMode::dmTime)
        return;
    const double now = nowDayCount();
    const int direction = digits::clockDirection(dateTime_, now);
    if (direction == 0)
        return;
    dateTime_ = now;
    rollToward(direction);
}

int TDigits::shownNumber() const {
    return digits::shownNumber(state());
}

// Changes within one event (a batch of added files) come out as one notice, sent from the
// event loop with the value then shown, so that a reader is not flooded; the frames of a
// roll send none. While no reader listens nothing is sent: one that comes later asks.
void TDigits::announceValue() {
    if (valueNoticePending_ || !tb::noticesHeard())
        return;
    valueNoticePending_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            valueNoticePending_ = false;
            QAccessibleValueChangeEvent event(this, shownNumber());
            tb::sendNotice(event);
        },
        Qt::QueuedConnection);
}

void TDigits::resizeOrPaint() {
    if (autoSize_)
        AdjustSize();
    else
        paintNow();
}

void TDigits::paintNow() {
    if (sinceDirectPaint_.isValid() && sinceDirectPaint_.elapsed() < DirectPaintGapMs) {
        if (!updatePending_) {
            updatePending_ = true;
            update();
        }
        return;
    }
    sinceDirectPaint_.start();
    repaint();
}

digits::DigitsState TDigits::state() const {
    digits::DigitsState s;
    s.mode = mode_;
    s.digitCount = digitCount_;
    s.allowNegative = allowNegative_;
    s.showLeadingZeros = showLeadingZeros_;
    s.showThousandsSeparator = showThousandsSeparator_;
    s.value = value_;
    s.dateTime = dateTime_;
    if (mode_ == TDigitsMode::dmDate)
        s.dateOrder = userDateOrder();
    s.rollStep = rollStep_;
    s.rollSteps = incDecSteps_;
    s.strip = sizeOf(bmpDigits_);
    s.posNegSign = sizeOf(bmpPosNegSign_);
    s.thousandsSeparator = sizeOf(bmpThousandsSeparator_);
    s.timeSeparator = sizeOf(bmpTimeSeparator_);
    s.dateSeparator = sizeOf(bmpDateSeparator_);
    s.amPmSign = sizeOf(bmpAmPmSign_);
    return s;
}

const QImage* TDigits::sourceImage(digits::Source source) const {
    const auto owned = [](const std::optional<QImage>& image) {
        return image ? &*image : nullptr;
    };
    switch (source) {
    case digits::Source::Strip:
        return &bmpDigits_;
    case digits::Source::PosNegSign:
        return owned(bmpPosNegSign_);
    case digits::Source::ThousandsSeparator:
        return owned(bmpThousandsSeparator_);
    case digits::Source::TimeSeparator:
        return owned(bmpTimeSeparator_);
    case digits::Source::DateSeparator:
        return owned(bmpDateSeparator_);
    case digits::Source::AmPmSign:
        return owned(bmpAmPmSign_);
    }
    return nullptr;
}

void TDigits::paintEvent(QPaintEvent*) {
    updatePending_ = false;
    QPainter painter(this);
    for (const digits::Blit& blit : digits::frameBlits(state())) {
        if (const QImage* image = sourceImage(blit.source))
            painter.drawImage(QPoint(blit.x, blit.y), *image,
                              QRect(blit.sourceX, blit.sourceY, blit.width, blit.height));
    }
}
