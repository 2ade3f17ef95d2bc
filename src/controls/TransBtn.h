#pragma once

#include <QAbstractButton>
#include <QPixmap>

// A button drawn as its glyph alone; with Transparent on, the parent shows around it.
class TTransparentButton : public QAbstractButton {
    Q_OBJECT

public:
    explicit TTransparentButton(QWidget* parent = nullptr);

    void setGlyph(const QPixmap& glyph);
    bool Transparent() const { return transparent_; }
    void setTransparent(bool on);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap glyph_;
    bool transparent_ = true;
};
