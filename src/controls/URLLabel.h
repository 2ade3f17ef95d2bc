#pragma once

#include "controls/PointerOver.h"

#include <QColor>
#include <QLabel>

namespace tb {
class Launcher;
}

// A label that acts as a link: its text changes colour under the pointer and while pressed,
// and a release over it opens URL (or the caption when URL is empty) with the desktop.
class TURLLabel : public QLabel {
    Q_OBJECT

public:
    explicit TURLLabel(QWidget* parent = nullptr);

    QColor ColorNormal() const { return colorNormal_; }
    void setColorNormal(const QColor& color) { colorNormal_ = color; }
    QColor ColorMoveOver() const { return colorMoveOver_; }
    void setColorMoveOver(const QColor& color) { colorMoveOver_ = color; }
    QColor ColorClick() const { return colorClick_; }
    void setColorClick(const QColor& color) { colorClick_ = color; }
    QString URL() const { return url_; }
    void setURL(const QString& url);

    QString Caption() const { return text(); }
    void setCaption(const QString& caption) { setText(caption); }
    // The text colour (the font's colour).
    QColor textColor() const { return palette().color(QPalette::WindowText); }
    void setTextColor(const QColor& color);

    // Where targets are opened; without one, the desktop's own handler is used.
    void setLauncher(tb::Launcher* launcher) { launcher_ = launcher; }
    // Opens the target as a click on the label does.
    void openTarget() { open(); }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void open();
    void followPointer(TPointerOver::Change change);

    QColor colorNormal_{Qt::blue};
    QColor colorMoveOver_{Qt::blue};
    QColor colorClick_{Qt::red};
    QString url_;
    bool pressed_ = false;
    TPointerOver over_;
    tb::Launcher* launcher_ = nullptr;
};
