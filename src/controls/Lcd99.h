#pragma once

#include "controls/Lcd99Math.h"
#include "controls/PointerControl.h"

#include <QColor>
#include <QTimer>

// A row of seven-segment character cells. When the value changes, the cells that differ
// take their new look segment by segment in the order of Animation, the eight steps spread
// over AnimationDelay milliseconds by a timer, so the window stays responsive meanwhile.
class TLCD99 : public TPointerControl {
    Q_OBJECT

public:
    explicit TLCD99(QWidget* parent = nullptr);

    TLCDAnimation Animation() const { return animation_; }
    void setAnimation(TLCDAnimation animation) { animation_ = animation; }
    int AnimationDelay() const { return animationDelay_; }
    void setAnimationDelay(int milliseconds) { animationDelay_ = milliseconds; }
    QColor Color() const { return color_; }
    void setColor(const QColor& color);
    int DigitNum() const { return digitNum_; }
    void setDigitNum(int cells);
    int DigitSpacing() const { return digitSpacing_; }
    void setDigitSpacing(int pixels);
    int GapX() const { return gapX_; }
    void setGapX(int pixels);
    int GapY() const { return gapY_; }
    void setGapY(int pixels);
    QColor OffColor() const { return offColor_; }
    void setOffColor(const QColor& color);
    QColor OnColor() const { return onColor_; }
    void setOnColor(const QColor& color);
    int SegmentSize() const { return segmentSize_; }
    void setSegmentSize(int pixels);
    QString Value() const { return value_; }
    void setValue(const QString& value);

    // The cells' characters as shown: "QRQWDRQWED" for a longer value on ten cells, "12.5".
    QString shownText() const;

    // Whether a change is still being drawn step by step.
    bool changing() const { return changing_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    template <typename T> void setAndInvalidate(T& field, const T& value);
    void beginChange();
    void advanceChange();
    void endChange();
    // Tells readers of a new shown text (which is also the name unless one is given).
    void announceShown(const QString& before);

    TLCDAnimation animation_ = TLCDAnimation::anNone;
    int animationDelay_ = 0;
    QColor color_ = Qt::black;
    int digitNum_ = 4;
    int digitSpacing_ = 5;
    int gapX_ = 2;
    int gapY_ = 2;
    QColor offColor_ = Qt::black;
    QColor onColor_ = QColor(0x00, 0xFF, 0x00);
    int segmentSize_ = 2;
    QString value_;

    // The value that the last finished change drew.
    QString lastValue_;
    bool changing_ = false;
    tb::lcd::Change change_;
    int stepsDrawn_ = 0;
    QTimer stepTimer_;
};
