#include "controls/X2000RC.h"

#include <QWidget>

namespace {

// Outer minus inside height; 0 where the window system reports no frame (not yet shown, or
// no window manager). Some platforms go on reporting margins for a frameless window, whose
// outside is its inside.
int frameHeight(const QWidget& window) {
    if (window.windowFlags().testFlag(Qt::FramelessWindowHint))
        return 0;
    return std::max(0, window.frameGeometry().height() - window.geometry().height());
}

// Changing the flags of a shown window hides it; show it again where it was.
void setFrameless(QWidget& window, bool frameless) {
    if (window.windowFlags().testFlag(Qt::FramelessWindowHint) == frameless)
        return;
    const bool visible = window.isVisible();
    const QPoint position = window.pos();
    window.setWindowFlag(Qt::FramelessWindowHint, frameless);
    if (visible) {
        window.move(position);
        window.show();
    }
}

} // namespace

TRemoveCaption2000X::TRemoveCaption2000X(QWidget* parent)
    : QObject(parent), target_(parent ? parent->window() : nullptr) {}

TRemoveCaption2000X::~TRemoveCaption2000X() {
    // Going away with its window: the window keeps the look it has.
    destroying_ = true;
    if (removed_)
        Add();
}

void TRemoveCaption2000X::setEnabled(bool on) {
    if (on)
        Remove();
    else
        Add();
    enabled_ = on;
}

void TRemoveCaption2000X::Remove(QWidget* form) {
    if (!form)
        form = target_;
    removed_ = true;
    if (!form)
        return;
    heightDifference_ = frameHeight(*form);
    const int insideHeight = form->height();
    setFrameless(*form, true);
    // Without a frame the outer height is the inside height measured before.
    form->resize(form->width(), insideHeight);
}

void TRemoveCaption2000X::Add(QWidget* form) {
    if (!form)
        form = target_;
    removed_ = false;
    if (destroying_ || !form)
        return;
    const bool wasFrameless = form->windowFlags().testFlag(Qt::FramelessWindowHint);
    const int outerHeight = form->height() + frameHeight(*form);
    setFrameless(*form, false);
    // The outer height grows by the difference measured at removal; the frame that comes
    // back is taken to be the one that was measured then.
    const int frame = wasFrameless ? heightDifference_ : frameHeight(*form);
    form->resize(form->width(), outerHeight + heightDifference_ - frame);
}
