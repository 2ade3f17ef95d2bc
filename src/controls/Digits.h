#pragma once

#include <QImage>
#include <QWidget>

// The playlist item counter: a whole number shown in cells cut from a digit strip
// (eleven equal cells: digits 0 to 9, then a blank). Increment and Decrement step
// the shown value by one.
class TDigits : public QWidget {
    Q_OBJECT

public:
    explicit TDigits(QWidget* parent = nullptr);

    int Value() const { return value_; }
    void setValue(int value);
    void Increment();
    void Decrement();

    int DigitCount() const { return digitCount_; }
    bool ShowLeadingZeros() const { return showLeadingZeros_; }
    void setShowLeadingZeros(bool on);
    int IncDecSpeed() const { return incDecSpeed_; }
    void setIncDecSpeed(int milliseconds);
    int IncDecSteps() const { return incDecSteps_; }
    void setIncDecSteps(int steps);

    const QImage& BmpDigits() const { return bmpDigits_; }
    // Throws std::invalid_argument when the strip is empty or its width is not a multiple of 11.
    void setBmpDigits(const QImage& strip);
    // Loads a strip file straight into the owned strip, unchecked; false when it cannot be read.
    bool loadBmpDigits(const QString& fileName);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int maxValue() const; // 10^DigitCount - 1
    // Fixes the size to DigitCount cells of the strip (not adjustSize: that would hide QWidget's).
    void fitToStrip();

    QImage bmpDigits_;
    int value_ = 0;
    int digitCount_ = 6;
    bool showLeadingZeros_ = false;
    int incDecSpeed_ = 100;
    int incDecSteps_ = 4;
};
