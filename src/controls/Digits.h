#pragma once

#include "controls/DigitsMath.h"
#include "controls/PointerControl.h"

#include <QElapsedTimer>
#include <QImage>
#include <QTimer>
#include <functional>
#include <optional>

using tb::TDigitsMode;

// A number, a time of day or a date shown in cells cut from a digit strip (eleven equal
// cells: digits 0 to 9, then a blank). Stepping by one rolls the changed cells like the
// wheels of a mechanical counter: upward forward, downward back. In time mode it can
// follow the system clock. Paints only its cells; the parent shows elsewhere.
class TDigits : public TPointerControl {
    Q_OBJECT

public:
    explicit TDigits(QWidget* parent = nullptr);

    // The digit strip. Throws std::invalid_argument (and keeps the old strip) unless the
    // strip has pixels and a width that is a multiple of 11.
    const QImage& BmpDigits() const { return bmpDigits_; }
    void setBmpDigits(const QImage& strip);
    // Loads a strip file straight into the owned strip, unchecked and without resizing;
    // false (and the strip unchanged) when it cannot be read.
    bool loadBmpDigits(const QString& fileName);

    // The optional bitmaps; std::nullopt is none. The two-cell ones throw
    // std::invalid_argument on an odd width (the sign bitmap also when empty).
    const std::optional<QImage>& BmpPosNegSign() const { return bmpPosNegSign_; }
    void setBmpPosNegSign(const std::optional<QImage>& sign);
    const std::optional<QImage>& BmpThousandsSeparator() const { return bmpThousandsSeparator_; }
    void setBmpThousandsSeparator(const std::optional<QImage>& separator);
    const std::optional<QImage>& BmpTimeSeparator() const { return bmpTimeSeparator_; }
    void setBmpTimeSeparator(const std::optional<QImage>& separator);
    const std::optional<QImage>& BmpDateSeparator() const { return bmpDateSeparator_; }
    void setBmpDateSeparator(const std::optional<QImage>& separator);
    const std::optional<QImage>& BmpAMPMSign() const { return bmpAmPmSign_; }
    void setBmpAMPMSign(const std::optional<QImage>& sign);

    bool AllowNegative() const { return allowNegative_; }
    void setAllowNegative(bool on);
    bool AutoSize() const { return autoSize_; }
    void setAutoSize(bool on);
    // Days since 30 December 1899; the fraction is the time of day.
    double DateTime() const { return dateTime_; }
    void setDateTime(double dayCount);
    int DigitCount() const { return digitCount_; }
    void setDigitCount(int count);
    int IncDecSpeed() const { return incDecSpeed_; }
    void setIncDecSpeed(int milliseconds);
    int IncDecSteps() const { return incDecSteps_; }
    void setIncDecSteps(int steps);
    TDigitsMode Mode() const { return mode_; }
    void setMode(TDigitsMode mode);
    bool Running() const { return running_; }
    void setRunning(bool on);
    bool ShowLeadingZeros() const { return showLeadingZeros_; }
    void setShowLeadingZeros(bool on);
    bool ShowThousandsSeparator() const { return showThousandsSeparator_; }
    void setShowThousandsSeparator(bool on);
    int Value() const { return value_; }
    void setValue(int value);

    void Increment();
    void Decrement();
    // Sizes the control to its layout, keeping its top left corner.
    void AdjustSize();

    // The shown quantity as one number: the counter's value, HHMMSS, or the date's digits.
    int shownNumber() const;

    // The roll in progress: frames still to come, positive forward; 0 when idle.
    int RollStep() const { return rollStep_; }

    // Runs once the first frame of a roll is painted. It is called rather than connected,
    // so that a handler that fails, by throwing, ends the roll at once: an exception may
    // not pass through Qt's signal delivery.
    using RotateStartHandler = std::function<void(TDigits* sender)>;
    void setOnRotateStart(RotateStartHandler handler) { onRotateStart_ = std::move(handler); }

signals:
    void OnRotateEnd(TDigits* sender);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void RollTick();
    void ClockTick();
    // One step forward (+1) or back (-1) in the current mode, rolled.
    void stepBy(int direction);
    // Rolls the cells to the value just stored, forward (+1) or back (-1), and tells readers.
    void rollToward(int direction);
    void startRoll(int rollStep);
    void announceValue();

    RotateStartHandler onRotateStart_;
    // Size to the layout when AutoSize is on, else draw at once.
    void resizeOrPaint();
    void paintNow();
    tb::digits::DigitsState state() const;
    const QImage* sourceImage(tb::digits::Source source) const;

    QImage bmpDigits_;
    std::optional<QImage> bmpPosNegSign_{QImage()};
    std::optional<QImage> bmpThousandsSeparator_{QImage()};
    std::optional<QImage> bmpTimeSeparator_{QImage()};
    std::optional<QImage> bmpDateSeparator_{QImage()};
    std::optional<QImage> bmpAmPmSign_{QImage()};
    bool allowNegative_ = false;
    bool autoSize_ = true;
    double dateTime_ = 0.0;
    int digitCount_ = 6;
    int incDecSpeed_ = 100;
    int incDecSteps_ = 4;
    TDigitsMode mode_ = TDigitsMode::dmCounter;
    bool showLeadingZeros_ = false;
    bool showThousandsSeparator_ = false;
    int value_ = 0;
    bool running_ = false;

    int rollStep_ = 0;
    QTimer rollTimer_;
    QTimer clockTimer_;
    QElapsedTimer sinceDirectPaint_;
    bool updatePending_ = false;
    bool valueNoticePending_ = false;
};
