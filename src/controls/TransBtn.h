#pragma once

#include <QAbstractButton>
#include <QPixmap>

// A button drawn as its glyph alone; with Transparent on, the parent shows around it.
class TTransparentButton : public QAbstractButton {
    Q_OBJECT

public:
    explicit TTransparentButton(QWidget* parent = nullptr);

    void setGlyph(const QPixmap& glyph);
    // Cells of the glyph strip; only the first is drawn.
    int NumGlyphs() const { return numGlyphs_; }
    void setNumGlyphs(int count);
    bool Transparent() const { return transparent_; }
    void setTransparent(bool on);

    QSize sizeHint() const override;

signals:
    void OnClick();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap glyph_;
    bool transparent_ = true;
    int numGlyphs_ = 1;
};
