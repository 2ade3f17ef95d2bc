#pragma once

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QSet>
#include <QWidget>

namespace tb::test {

// The widget's picture in plain RGB, comparable pixel by pixel.
inline QImage grabbed(QWidget& widget) {
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

inline QSet<QRgb> coloursIn(const QImage& image, const QRect& area) {
    QSet<QRgb> colours;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            colours.insert(image.pixel(x, y));
    return colours;
}

// A mouse event sent straight to the widget, past the window system's grab.
inline void mouse(QWidget* widget, QEvent::Type type, QPoint at,
                  Qt::MouseButton button = Qt::LeftButton) {
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : button;
    QMouseEvent event(type, QPointF(at), widget->mapToGlobal(QPointF(at)),
                      type == QEvent::MouseMove ? Qt::NoButton : button, held, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

} // namespace tb::test
