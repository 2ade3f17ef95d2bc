#pragma once

#include "controls/PointerOver.h"
#include "controls/TransBtnDrawing.h"

#include <QImage>
#include <QMenu>
#include <QPixmap>
#include <QPointer>
#include <QWidget>
#include <vector>

// A push button drawn from a glyph strip and an optional caption, with no background of its
// own unless Transparent is off. It never takes the focus; the first glyph cell also yields a
// gray image (the resting look of the explorer style) and an embossed disabled image.
class TTransparentButton : public QWidget {
    Q_OBJECT

public:
    using enum TFrameStyle;
    using enum TTextAlign;

    explicit TTransparentButton(QWidget* parent = nullptr);

    bool AutoGray() const { return autoGray_; }
    void setAutoGray(bool on) { autoGray_ = on; }
    std::uint32_t BorderWidth() const { return borderWidth_; }
    void setBorderWidth(std::uint32_t width);
    QString Caption() const { return caption_; }
    void setCaption(const QString& caption);
    bool Down() const { return down_; }
    void setDown(bool down);
    TFrameStyle FrameStyle() const { return frameStyle_; }
    void setFrameStyle(TFrameStyle style);
    // The whole strip of NumGlyphs equal cells; the button keeps its own copy.
    QPixmap Glyph() const { return glyph_; }
    void setGlyph(const QPixmap& glyph);
    int NumGlyphs() const { return numGlyphs_; }
    void setNumGlyphs(int count); // 1 to 4; does not rebuild the images
    QMenu* PopUpMenu() const { return popUpMenu_; }
    void setPopUpMenu(QMenu* menu) { popUpMenu_ = menu; }
    bool ShowPressed() const { return showPressed_; }
    void setShowPressed(bool on) { showPressed_ = on; }
    int Spacing() const { return spacing_; }
    void setSpacing(int pixels);
    TTextAlign TextAlign() const { return textAlign_; }
    void setTextAlign(TTextAlign align);
    bool Transparent() const { return transparent_; }
    void setTransparent(bool on);
    bool WordWrap() const { return wordWrap_; }
    void setWordWrap(bool on);
    bool Movable() const { return movable_; }
    void setMovable(bool on) { movable_ = on; }

    // Whether the button is drawn pressed just now.
    bool pressedLook() const { return pressedLook_; }
    // The derived images of the first cell, as last built.
    QImage grayImage() const { return strip_.size() >= 2 ? strip_[strip_.size() - 2] : QImage(); }
    QImage disabledImage() const { return strip_.empty() ? QImage() : strip_.back(); }

    QSize sizeHint() const override { return {40, 40}; }

    // Reports OnClick as a press and release with the left button would, only while enabled.
    void click();

    // The letter that, typed in the window, clicks the button, upper-cased; empty where
    // the caption marks none. Found as Qt finds a mnemonic: after the first ampersand
    // that is not doubled, so "A && &B" answers B.
    QString acceleratorKey() const;

signals:
    void OnClick();
    void OnMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void OnMouseMove(Qt::KeyboardModifiers shift, int x, int y);
    void OnMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void OnMouseEnter();
    void OnMouseExit();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void rebuildImages();
    QImage disabledFromFirstCell() const;
    void release(Qt::MouseButton button, Qt::KeyboardModifiers shift, QPoint at);
    bool inside(QPoint at) const { return rect().contains(at); }
    void repaintNow() { repaint(); }
    bool matchesAccelerator(const QString& typed) const;
    void watchWindow();
    tb::button::Pixel roleColor(tb::button::Role role) const;
    void followPointer(TPointerOver::Change change);

    bool autoGray_ = true;
    std::uint32_t borderWidth_ = 1;
    QString caption_;
    bool down_ = false;
    TFrameStyle frameStyle_ = fsExplorer;
    QPixmap glyph_;
    int numGlyphs_ = 1;
    QPointer<QMenu> popUpMenu_;
    bool showPressed_ = true;
    int spacing_ = 2;
    TTextAlign textAlign_ = ttaCenter;
    bool transparent_ = true;
    bool wordWrap_ = false;
    bool movable_ = false;

    // Cells 0..n-1, then the gray and the disabled image, each with its key colour cleared.
    std::vector<QImage> strip_;
    tb::button::PixelBuffer firstCell_; // kept to redo the disabled image in new colours
    bool held_ = false;
    bool tracking_ = false;
    bool pressedLook_ = false;
    TPointerOver hot_;        // the pointer is over the enabled button
    bool clickArmed_ = false; // a left press began on the button and its release is awaited
    QPoint pressPoint_;
    QPointer<QWidget> watchedWindow_;
};
