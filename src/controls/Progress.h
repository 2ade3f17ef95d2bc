#pragma once

#include <QColor>
#include <QFont>
#include <QWidget>

// The decorative gauge: a bar from FromColor to ToColor filled to Progress percent.
class TProgress : public QWidget {
    Q_OBJECT

public:
    explicit TProgress(QWidget* parent = nullptr);

    int Progress() const { return progress_; }
    void setProgress(int percent); // clamped to 0..100
    QColor FromColor() const { return fromColor_; }
    void setFromColor(const QColor& color);
    QColor ToColor() const { return toColor_; }
    void setToColor(const QColor& color);
    void setBackColor(const QColor& color);
    void setBorderColor(const QColor& color);
    void setTextFont(const QFont& font, const QColor& color);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int progress_ = 0;
    QColor fromColor_ = Qt::blue;
    QColor toColor_ = Qt::red;
    QColor backColor_ = Qt::white;
    QColor borderColor_ = Qt::black;
    QFont textFont_;
    QColor textColor_ = Qt::black;
};
