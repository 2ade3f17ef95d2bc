#include "controls/Digits.h"

#include <QPainter>
#include <algorithm>
#include <stdexcept>

namespace {

constexpr int CellsInStrip = 11; // digits 0 to 9, then the blank
constexpr int BlankCell = 10;

// The strip used until the program supplies its own: black digits on light-green tiles.
QImage builtInStrip() {
    constexpr int cellWidth = 14;
    constexpr int cellHeight = 20;
    QImage strip(cellWidth * CellsInStrip, cellHeight, QImage::Format_RGB32);
    strip.fill(QColor(0xc8, 0xf0, 0xc8));

    QPainter painter(&strip);
    QFont font(QStringLiteral("Monospace"));
    font.setStyleHint(QFont::TypeWriter);
    font.setBold(true);
    font.setPixelSize(cellHeight - 4);
    painter.setFont(font);
    painter.setPen(Qt::black);
    for (int digit = 0; digit <= 9; ++digit)
        painter.drawText(QRect(digit * cellWidth, 0, cellWidth, cellHeight), Qt::AlignCenter,
                         QString::number(digit));
    return strip;
}

} // namespace

TDigits::TDigits(QWidget* parent) : QWidget(parent), bmpDigits_(builtInStrip()) {
    setFocusPolicy(Qt::NoFocus);
    fitToStrip();
}

void TDigits::setValue(int value) {
    value_ = std::max(value, 0);
    update();
}

void TDigits::Increment() {
    const int largest = maxValue();
    value_ = value_ >= largest ? 0 : value_ + 1;
    update();
}

void TDigits::Decrement() {
    value_ = value_ <= 0 ? maxValue() : value_ - 1;
    update();
}

void TDigits::setShowLeadingZeros(bool on) {
    if (showLeadingZeros_ == on)
        return;
    showLeadingZeros_ = on;
    update();
}

void TDigits::setIncDecSpeed(int milliseconds) {
    incDecSpeed_ = std::max(milliseconds, 1);
}

void TDigits::setIncDecSteps(int steps) {
    incDecSteps_ = steps;
}

void TDigits::setBmpDigits(const QImage& strip) {
    if (strip.isNull() || strip.width() % CellsInStrip != 0)
        throw std::invalid_argument("BmpDigits requires a bitmap that contains the digits 0 "
                                    "through 9 and an empty space of equal width");
    bmpDigits_ = strip;
    fitToStrip();
    update();
}

bool TDigits::loadBmpDigits(const QString& fileName) {
    // Read into a temporary: a failed QImage::load would null the strip in use.
    QImage loaded;
    if (!loaded.load(fileName))
        return false;
    bmpDigits_ = loaded;
    update();
    return true;
}

void TDigits::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const int sourceWidth = bmpDigits_.width() / CellsInStrip;
    // A strip loaded from a file keeps the widget's size, so cells are scaled to fit.
    const int cellWidth = width() / digitCount_;

    int placeValue = 1; // 10^position, counted from the rightmost cell
    for (int position = 0; position < digitCount_; ++position) {
        const bool blank = !showLeadingZeros_ && position > 0 && value_ < placeValue;
        const int cell = blank ? BlankCell : value_ / placeValue % 10;
        const QRect target((digitCount_ - 1 - position) * cellWidth, 0, cellWidth, height());
        painter.drawImage(target, bmpDigits_,
                          QRect(cell * sourceWidth, 0, sourceWidth, bmpDigits_.height()));
        placeValue *= 10;
    }
}

int TDigits::maxValue() const {
    int largest = 1;
    for (int i = 0; i < digitCount_; ++i)
        largest *= 10;
    return largest - 1;
}

void TDigits::fitToStrip() {
    setFixedSize(bmpDigits_.width() / CellsInStrip * digitCount_, bmpDigits_.height());
}
