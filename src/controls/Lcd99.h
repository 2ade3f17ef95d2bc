#pragma once

#include <QWidget>

// The decorative LCD number display.
class TLCD99 : public QWidget {
    Q_OBJECT

public:
    enum class Animation { None, Random };

    explicit TLCD99(QWidget* parent = nullptr);

    QString Value() const { return value_; }
    void setValue(const QString& value);
    int DigitNum() const { return digitNum_; }
    void setDigitNum(int digits);
    void setAnimation(Animation animation) { animation_ = animation; }
    void setAnimationDelay(int milliseconds) { animationDelay_ = milliseconds; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString value_;
    int digitNum_ = 10;
    Animation animation_ = Animation::None;
    int animationDelay_ = 0;
};
