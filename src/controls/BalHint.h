#pragma once

#include "controls/BalHintMath.h"

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QObject>
#include <QPen>
#include <QPixmap>
#include <QPointer>
#include <QPolygon>
#include <QWidget>

class TBaloonHint;

// Where the pointer is and how wide the primary screen is; tests put in their own.
class THintScreen {
public:
    virtual ~THintScreen() = default;
    virtual QPoint pointer() const;
    virtual int screenWidth() const;
};

// The one balloon of the application: a shaped popup that never takes focus or the mouse.
class TBaloonHintWindow : public QWidget {
    Q_OBJECT

public:
    explicit TBaloonHintWindow(QWidget* parent = nullptr);

    // Works out size, shape and place for the text and shows the balloon; the proposed
    // rectangle is not used. Without a TBaloonHint nothing is shown.
    void ActivateHint(const QRect& rect, const QString& text);

    // What the last activation worked out.
    const tb::BalloonShape& shape() const { return shape_; }
    QRegion balloonRegion() const { return region_; }

    // The window reads the pointer and the screen width through this; null restores the real one.
    void setHintScreen(const THintScreen* screen);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QFont balloonFont() const;
    QColor textColor() const;

    QPointer<TBaloonHint> balloon_;
    tb::BalloonShape shape_;
    QRegion region_;
    QString text_;
    const THintScreen* screen_ = nullptr;
};

// Turns every hint of the application into a balloon. The first one created takes over
// the application's tool tips for good: while none exists, no hint shows at all.
class TBaloonHint : public QObject {
    Q_OBJECT

public:
    explicit TBaloonHint(QObject* parent = nullptr);
    ~TBaloonHint() override;

    QColor HintColor() const { return hintColor_; }
    void setHintColor(const QColor& color) { hintColor_ = color; }
    bool HintShadowOn() const { return hintShadowOn_; }
    void setHintShadowOn(bool on) { hintShadowOn_ = on; }
    int HintPauseTime() const { return hintPauseTime_; }
    void setHintPauseTime(int milliseconds);
    int HintHidePause() const { return hintHidePause_; }
    void setHintHidePause(int milliseconds);
    tb::TAlignment Alignment() const { return alignment_; }
    void setAlignment(tb::TAlignment alignment) { alignment_ = alignment; }
    QPen Pen() const { return pen_; }
    void setPen(const QPen& pen) { pen_ = pen; }
    QBrush Brush() const { return brush_; }
    void setBrush(const QBrush& brush) { brush_ = brush; }
    // The own font and its colour; setting either stops using the owner's font.
    QFont Font() const { return font_; }
    void setFont(const QFont& font);
    // Invalid means the desktop's window-text colour, resolved when drawn.
    QColor FontColor() const { return fontColor_; }
    void setFontColor(const QColor& color);
    bool OwnerFont() const { return ownerFont_; }
    void setOwnerFont(bool on);
    QPixmap Icon() const { return icon_; }
    void setIcon(const QPixmap& icon) { icon_ = icon; }

    // The pointer's screen position at the last activation.
    QPoint HintPos() const { return hintPos_; }
    // The window that owns the component, if any.
    QWidget* ownerForm() const;

    // The application's balloon window, once a TBaloonHint has been created.
    static TBaloonHintWindow* HintWindow();
    // The application's main window: the first TBaloonHint it owns gives every balloon its
    // looks. The first window named stays the main window while it lives.
    static void setMainWindow(QWidget* window);

signals:
    // A balloon is about to show; x and y are the pointer's screen position.
    void OnHint(TBaloonHint* sender, int x, int y);

private:
    friend class TBaloonHintWindow;

    QColor hintColor_{0, 255, 0};
    bool hintShadowOn_ = true;
    int hintPauseTime_ = 200;
    int hintHidePause_ = 5000;
    tb::TAlignment alignment_ = tb::TAlignment::taLeftJustify;
    QPen pen_{QColor(Qt::white), 1};
    QBrush brush_{QColor(0, 255, 0)};
    QFont font_;
    QColor fontColor_;
    bool ownerFont_ = true;
    QPixmap icon_;
    QPoint hintPos_;
};
