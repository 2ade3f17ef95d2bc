#pragma once

class QMouseEvent;
class QWidget;

// Whether the pointer is over a control. While a press on the control holds the mouse grab,
// Qt sends it neither Leave nor Enter, and sends the ones it held back only after the
// release; so meanwhile the control's own mouse moves tell where the pointer is, and a late
// Enter or Leave counts only where it changes something.
class TPointerOver {
public:
    enum class Change { None, Entered, Left };

    Change entered() { return become(true); }
    Change left() { return become(false); }
    // From a move the control received: over while the pointer lies within its rectangle.
    Change moved(const QWidget& control, const QMouseEvent& move);
    // Forgets the pointer, e.g. while the control is disabled; the next move finds it again.
    void forget() { over_ = false; }

    bool over() const { return over_; }

private:
    Change become(bool over);

    bool over_ = false;
};
