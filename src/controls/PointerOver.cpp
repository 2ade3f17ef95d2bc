#include "controls/PointerOver.h"

#include <QMouseEvent>
#include <QWidget>

TPointerOver::Change TPointerOver::moved(const QWidget& control, const QMouseEvent& move) {
    // Mapped afresh rather than taken from the event: a dragged control has moved under the
    // pointer since the event was addressed to it.
    const QPoint at = control.mapFromGlobal(move.globalPosition().toPoint());
    return become(control.rect().contains(at));
}

TPointerOver::Change TPointerOver::become(bool over) {
    if (over == over_)
        return Change::None;
    over_ = over;
    return over ? Change::Entered : Change::Left;
}
