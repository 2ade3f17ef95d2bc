#include "controls/URLLabel.h"

#include "controls/AccessibleNotice.h"
#include "platform/Launcher.h"

#include <QMouseEvent>

TURLLabel::TURLLabel(QWidget* parent)
    : QLabel(QStringLiteral("Click me!"), parent),
      url_(QStringLiteral("https://www.example.com/")) {
    setTextFormat(Qt::PlainText);
    QFont underlined = font();
    underlined.setUnderline(true);
    setFont(underlined);
    setTextColor(Qt::blue);
}

void TURLLabel::setURL(const QString& url) {
    if (url == url_)
        return;
    url_ = url;
    // The target describes the link to readers (its caption names it; QLabel tells of that).
    QAccessibleEvent event(this, QAccessible::DescriptionChanged);
    tb::sendNotice(event);
}

void TURLLabel::setTextColor(const QColor& color) {
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, color);
    setPalette(pal);
}

void TURLLabel::mousePressEvent(QMouseEvent*) {
    pressed_ = true;
    setTextColor(colorClick_);
}

void TURLLabel::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    // Both edges count: a release one pixel past the right or bottom edge still opens.
    const bool over = at.x() >= 0 && at.x() <= width() && at.y() >= 0 && at.y() <= height();
    if (over) {
        if (pressed_)
            open();
        setTextColor(colorMoveOver_);
    } else {
        setTextColor(colorNormal_);
    }
    pressed_ = false;
}

void TURLLabel::mouseMoveEvent(QMouseEvent* event) {
    QLabel::mouseMoveEvent(event);
    // Moves reach the label only during a press, the only time Qt holds back Leave and Enter.
    followPointer(over_.moved(*this, *event));
}

void TURLLabel::enterEvent(QEnterEvent*) {
    followPointer(over_.entered());
}

void TURLLabel::leaveEvent(QEvent*) {
    followPointer(over_.left());
}

void TURLLabel::followPointer(TPointerOver::Change change) {
    if (change == TPointerOver::Change::Entered)
        setTextColor(pressed_ ? colorClick_ : colorMoveOver_);
    else if (change == TPointerOver::Change::Left)
        setTextColor(colorNormal_);
}

void TURLLabel::open() {
    const QString target = url_.isEmpty() ? text() : url_;
    if (launcher_) {
        launcher_->openUrl(target);
    } else {
        tb::SystemLauncher desktop;
        desktop.openUrl(target);
    }
}
