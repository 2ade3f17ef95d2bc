#pragma once

#include <QPoint>
#include <QWidget>

// A self-drawn control that reports the usual pointer events: a click is a left press
// and release inside the control, reported before the release itself.
class TPointerControl : public QWidget {
    Q_OBJECT

public:
    explicit TPointerControl(QWidget* parent = nullptr);

signals:
    void OnClick();
    void OnDblClick();
    void OnMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint position);
    void OnMouseMove(Qt::KeyboardModifiers modifiers, QPoint position);
    void OnMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint position);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool leftPressed_ = false;
};
