#pragma once

#include "controls/PointerControl.h"

#include <QColor>
#include <QFont>
#include <algorithm>

// A bordered gauge whose bar runs from FromColor to ToColor, with an optional text centred
// on it in inverse video. Each paint composes the whole picture first and shows it in one go.
class TProgress : public TPointerControl {
    Q_OBJECT

public:
    explicit TProgress(QWidget* parent = nullptr);

    QColor BackColor() const { return backColor_; }
    void setBackColor(const QColor& color);
    QColor BorderColor() const { return borderColor_; }
    void setBorderColor(const QColor& color);
    QColor FromColor() const { return fromColor_; }
    void setFromColor(const QColor& color);
    QColor ToColor() const { return toColor_; }
    void setToColor(const QColor& color);
    // Percent; 101 and above are ignored, negative values show an empty bar.
    int Progress() const { return progress_; }
    void setProgress(int percent);
    // Progress as readers take it: a negative one shows, and reads as, an empty bar.
    int readValue() const { return std::max(progress_, 0); }
    QString Text() const { return text_; }
    void setText(const QString& text);
    QFont TextFont() const { return textFont_; }
    void setTextFont(const QFont& font);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor backColor_ = Qt::white;
    QColor borderColor_ = Qt::black;
    QColor fromColor_ = QColor(0x00, 0xFF, 0x00);
    QColor toColor_ = QColor(0xFF, 0x00, 0x00);
    int progress_ = 0;
    QString text_;
    QFont textFont_;
};
