#include "controls/PointerControl.h"

#include <QMouseEvent>

TPointerControl::TPointerControl(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true); // moves are reported without a button held, too
}

void TPointerControl::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        leftPressed_ = true;
    emit OnMouseDown(event->button(), event->modifiers(), event->position().toPoint());
}

void TPointerControl::mouseDoubleClickEvent(QMouseEvent* event) {
    // The release that follows a double click is no click of its own.
    if (event->button() == Qt::LeftButton)
        emit OnDblClick();
    emit OnMouseDown(event->button(), event->modifiers(), event->position().toPoint());
}

void TPointerControl::mouseMoveEvent(QMouseEvent* event) {
    emit OnMouseMove(event->modifiers(), event->position().toPoint());
}

void TPointerControl::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint position = event->position().toPoint();
    if (event->button() == Qt::LeftButton && leftPressed_) {
        leftPressed_ = false;
        if (rect().contains(position))
            emit OnClick();
    }
    emit OnMouseUp(event->button(), event->modifiers(), position);
}
