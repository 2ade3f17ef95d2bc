#pragma once

#include "controls/KPanelDrawing.h"

#include <QColor>
#include <QImage>
#include <QWidget>

// A container whose surface is a colour gradient in one of six styles, with its caption and
// bevels drawn over it. Each paint draws into a kept image and copies it in one go.
class TKPanel : public QWidget {
    Q_OBJECT

public:
    using enum TGradientStyle;
    using enum TBevelCut;
    using enum TAlignment;

    explicit TKPanel(QWidget* parent = nullptr);

    QColor BeginColor() const { return beginColor_; }
    void setBeginColor(const QColor& color);
    QColor EndColor() const { return endColor_; }
    void setEndColor(const QColor& color);
    TGradientStyle GradientStyle() const { return gradientStyle_; }
    void setGradientStyle(TGradientStyle style);

    TAlignment Alignment() const { return alignment_; }
    void setAlignment(TAlignment alignment);
    TBevelCut BevelInner() const { return bevelInner_; }
    void setBevelInner(TBevelCut cut);
    TBevelCut BevelOuter() const { return bevelOuter_; }
    void setBevelOuter(TBevelCut cut);
    int BevelWidth() const { return bevelWidth_; }
    void setBevelWidth(int width); // at least 1
    QString Caption() const { return caption_; }
    void setCaption(const QString& caption);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void drawInto(QImage& image) const;

    QColor beginColor_{0, 128, 128};
    QColor endColor_{0, 128, 0};
    TGradientStyle gradientStyle_ = gsVertical;
    TAlignment alignment_ = taCenter;
    TBevelCut bevelInner_ = bvNone;
    TBevelCut bevelOuter_ = bvRaised;
    int bevelWidth_ = 1;
    QString caption_;
    QImage image_; // kept between paints, resized to the panel
};
