#pragma once

#include <QColor>
#include <QWidget>

// A panel whose surface runs from one colour to another, with bevels around it.
class TKPanel : public QWidget {
    Q_OBJECT

public:
    enum class GradientStyle {
        gsHorizontal,
        gsVertical,
        gsVerticalCenter,
        gsHorizontalCenter,
        gsElliptic,
        gsRectangle
    };
    enum class Bevel { bvNone, bvLowered, bvRaised, bvSpace };

    explicit TKPanel(QWidget* parent = nullptr);

    QColor BeginColor() const { return beginColor_; }
    void setBeginColor(QColor color);
    QColor EndColor() const { return endColor_; }
    void setEndColor(QColor color);
    GradientStyle gradientStyle() const { return gradientStyle_; }
    void setGradientStyle(GradientStyle style);
    Bevel BevelInner() const { return bevelInner_; }
    void setBevelInner(Bevel bevel);
    Bevel BevelOuter() const { return bevelOuter_; }
    void setBevelOuter(Bevel bevel);
    int BevelWidth() const { return bevelWidth_; }
    void setBevelWidth(int width);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor beginColor_{0, 128, 128};
    QColor endColor_{0, 128, 0};
    GradientStyle gradientStyle_ = GradientStyle::gsVertical;
    Bevel bevelInner_ = Bevel::bvNone;
    Bevel bevelOuter_ = Bevel::bvRaised;
    int bevelWidth_ = 1;
};
