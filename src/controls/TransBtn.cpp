#include "controls/TransBtn.h"

#include "controls/AccessibleNotice.h"

#include <QEnterEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <cstring>

namespace {

using tb::button::Pixel;
using tb::button::PixelBuffer;
using tb::button::Role;

PixelBuffer toBuffer(const QImage& image) {
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    PixelBuffer buffer(argb.width(), argb.height());
    if (buffer.pixels.empty())
        return buffer;
    for (int y = 0; y < argb.height(); ++y)
        std::memcpy(buffer.pixels.data() + static_cast<std::size_t>(y) * buffer.width,
                    argb.constScanLine(y), sizeof(Pixel) * argb.width());
    return buffer;
}

QImage toImage(const PixelBuffer& buffer) {
    if (buffer.pixels.empty())
        return QImage();
    QImage image(buffer.width, buffer.height, QImage::Format_ARGB32);
    for (int y = 0; y < buffer.height; ++y)
        std::memcpy(image.scanLine(y),
                    buffer.pixels.data() + static_cast<std::size_t>(y) * buffer.width,
                    sizeof(Pixel) * buffer.width);
    return image;
}

QImage masked(PixelBuffer buffer) {
    tb::button::makeBottomLeftTransparent(buffer);
    return toImage(buffer);
}

QRect toQRect(const tb::button::Rect& r) {
    return QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1));
}

} // namespace

TTransparentButton::TTransparentButton(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::NoFocus);
    setMouseTracking(true); // moves are reported with no button held, too
    resize(40, 40);
    watchWindow();
}

void TTransparentButton::setBorderWidth(std::uint32_t width) {
    if (width == borderWidth_)
        return;
    borderWidth_ = width;
    update();
}

void TTransparentButton::setCaption(const QString& caption) {
    if (caption == caption_)
        return;
    caption_ = caption;
    update();
    tb::sendNameChanged(this);
}

void TTransparentButton::setDown(bool down) {
    if (down == down_)
        return;
    const bool wasPressed = pressedLook_ || down_;
    down_ = down;
    tracking_ = down;
    pressedLook_ = down;
    repaintNow();
    if (down != wasPressed) {
        QAccessible::State pressed;
        pressed.pressed = true;
        QAccessibleStateChangeEvent event(this, pressed);
        tb::sendNotice(event);
    }
}

void TTransparentButton::setFrameStyle(TFrameStyle style) {
    if (style == frameStyle_)
        return;
    frameStyle_ = style;
    update();
}

void TTransparentButton::setGlyph(const QPixmap& glyph) {
    glyph_ = glyph;
    rebuildImages();
}

void TTransparentButton::setNumGlyphs(int count) {
    count = std::clamp(count, 1, 4);
    if (count == numGlyphs_)
        return;
    numGlyphs_ = count;
    update();
}

void TTransparentButton::setSpacing(int pixels) {
    if (pixels == spacing_)
        return;
    spacing_ = pixels;
    update();
}

void TTransparentButton::setTextAlign(TTextAlign align) {
    if (align == textAlign_)
        return;
    textAlign_ = align;
    update();
}

void TTransparentButton::setTransparent(bool on) {
    if (on == transparent_)
        return;
    transparent_ = on;
    update();
}

void TTransparentButton::setWordWrap(bool on) {
    if (on == wordWrap_)
        return;
    wordWrap_ = on;
    update();
}

void TTransparentButton::rebuildImages() {
    update();
    if (glyph_.height() == 0)
        return; // the earlier images stay, but an empty glyph draws none
    numGlyphs_ = tb::button::numGlyphsFor(glyph_.width(), glyph_.height(), numGlyphs_);
    const PixelBuffer strip = toBuffer(glyph_.toImage());
    const int cellWidth = strip.width / numGlyphs_;
    strip_.clear();
    for (int i = 0; i < numGlyphs_; ++i) {
        PixelBuffer cell = tb::button::cellOf(strip, i, cellWidth);
        if (i == 0)
            firstCell_ = cell;
        strip_.push_back(masked(std::move(cell)));
    }
    strip_.push_back(masked(tb::button::grayImage(firstCell_)));
    strip_.push_back(disabledFromFirstCell());
}

QImage TTransparentButton::disabledFromFirstCell() const {
    return masked(tb::button::disabledImage(firstCell_, roleColor(Role::Face),
                                            roleColor(Role::Highlight), roleColor(Role::Shadow)));
}

Pixel TTransparentButton::roleColor(Role role) const {
    const QPalette& pal = palette();
    switch (role) {
    case Role::Black:
        return 0xFF000000u;
    case Role::Face:
        return pal.color(QPalette::Button).rgba();
    case Role::Highlight:
        return pal.color(QPalette::Light).rgba();
    case Role::Shadow:
        return pal.color(QPalette::Dark).rgba();
    case Role::DarkShadow:
        return pal.color(QPalette::Shadow).rgba();
    }
    return 0xFF000000u;
}

void TTransparentButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const int w = width(), h = height();
    tb::button::ButtonLook look;
    look.frameStyle = frameStyle_;
    look.transparent = transparent_;
    look.pressedLook = pressedLook_;
    look.hot = hot_.over();
    look.down = down_;
    look.showPressed = showPressed_;
    look.borderWidth = borderWidth_;
    look.width = w;
    look.height = h;
    const tb::button::FramePlan plan = tb::button::framePlan(look);
    const QColor face = QColor::fromRgba(roleColor(Role::Face));
    if (plan.faceFill)
        painter.fillRect(toQRect(*plan.faceFill), face);
    for (const tb::button::Stroke& stroke : plan.strokes)
        painter.fillRect(toQRect(stroke.area), QColor::fromRgba(roleColor(stroke.role)));

    const int textFlags =
        Qt::TextShowMnemonic | (wordWrap_ ? Qt::TextWordWrap : Qt::TextSingleLine);
    const QRect block =
        caption_.isEmpty()
            ? QRect()
            : fontMetrics().boundingRect(QRect(0, 0, wordWrap_ ? w : 0, 0), textFlags, caption_);
    const tb::button::Layout place =
        tb::button::layout(w, h, glyph_.width(), glyph_.height(), numGlyphs_, spacing_, textAlign_,
                           block.width(), block.height());
    const int shift = pressedLook_ && showPressed_ ? 1 : 0;

    if (!glyph_.isNull() && !strip_.empty()) {
        const int index =
            tb::button::stripIndex(numGlyphs_, static_cast<int>(strip_.size()), isEnabled(),
                                   pressedLook_, frameStyle_, autoGray_, hot_.over());
        const QImage& image = strip_[static_cast<std::size_t>(index)];
        const QPoint at(place.glyph.left + shift, place.glyph.top + shift);
        if (!transparent_)
            painter.fillRect(QRect(at, image.size()), face);
        painter.drawImage(at, image);
    }

    if (!caption_.isEmpty()) {
        const QRect textArea(place.captionX + shift, place.captionY + shift, block.width(),
                             block.height());
        const int flags = textFlags | Qt::AlignHCenter | Qt::AlignTop | Qt::TextDontClip;
        if (isEnabled()) {
            painter.setPen(palette().color(foregroundRole()));
        } else {
            painter.setPen(QColor::fromRgba(roleColor(Role::Highlight)));
            painter.drawText(textArea.translated(1, 1), flags, caption_);
            painter.setPen(QColor::fromRgba(roleColor(Role::Shadow)));
        }
        painter.drawText(textArea, flags, caption_);
    }
}

void TTransparentButton::mousePressEvent(QMouseEvent* event) {
    if (!isEnabled() || held_)
        return;
    const QPoint at = event->position().toPoint();
    held_ = true;
    QPointer<TTransparentButton> alive(this);
    emit OnMouseDown(event->button(), event->modifiers(), at.x(), at.y());
    if (!alive)
        return;
    if (movable_)
        pressPoint_ = at;
    clickArmed_ = event->button() == Qt::LeftButton;
    if (inside(at)) {
        tracking_ = true;
        pressedLook_ = true;
        repaintNow();
    }
    if (popUpMenu_) {
        // The menu takes the rest of this press; its release never reaches the button, so
        // the press ends here and clicks nothing.
        clickArmed_ = false;
        popUpMenu_->exec(mapToGlobal(QPoint(0, height())));
        if (alive)
            release(event->button(), event->modifiers(), at);
    }
}

void TTransparentButton::mouseDoubleClickEvent(QMouseEvent* event) {
    mousePressEvent(event); // a double click is just a second press
}

void TTransparentButton::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    QPointer<TTransparentButton> alive(this);
    emit OnMouseMove(event->modifiers(), at.x(), at.y());
    if (!alive)
        return;
    if (tracking_) {
        if (movable_) {
            move(x(), y() + at.y() - pressPoint_.y());
            move(x() + at.x() - pressPoint_.x(), y());
        }
        if (inside(at) != pressedLook_) {
            pressedLook_ = !pressedLook_;
            repaintNow();
        }
    }
    // During a press this is the only news of the pointer leaving or coming back.
    if (isEnabled())
        followPointer(hot_.moved(*this, *event));
}

void TTransparentButton::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (event->button() == Qt::LeftButton && clickArmed_) {
        clickArmed_ = false;
        if (inside(at) && isEnabled()) {
            QPointer<TTransparentButton> alive(this);
            emit OnClick();
            if (!alive)
                return;
        }
    }
    release(event->button(), event->modifiers(), at);
}

void TTransparentButton::release(Qt::MouseButton button, Qt::KeyboardModifiers shift, QPoint at) {
    if (!isEnabled() || !held_)
        return;
    held_ = false;
    if (down_)
        return; // held down: the look stays as it is until Down changes
    QPointer<TTransparentButton> alive(this);
    emit OnMouseUp(button, shift, at.x(), at.y());
    if (!alive)
        return;
    tracking_ = false;
    pressedLook_ = false;
    repaintNow();
}

void TTransparentButton::enterEvent(QEnterEvent*) {
    if (isEnabled())
        followPointer(hot_.entered());
}

void TTransparentButton::leaveEvent(QEvent*) {
    if (isEnabled())
        followPointer(hot_.left());
}

void TTransparentButton::followPointer(TPointerOver::Change change) {
    if (change == TPointerOver::Change::None)
        return;
    QPointer<TTransparentButton> alive(this);
    if (change == TPointerOver::Change::Entered)
        emit OnMouseEnter();
    else
        emit OnMouseExit();
    if (alive && frameStyle_ == fsExplorer)
        repaintNow();
}

void TTransparentButton::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    switch (event->type()) {
    case QEvent::EnabledChange:
        if (!isEnabled()) {
            pressedLook_ = tracking_ = held_ = clickArmed_ = false;
            hot_.forget();
        }
        repaintNow();
        break;
    case QEvent::PaletteChange:
        if (!strip_.empty())
            strip_.back() = disabledFromFirstCell();
        update();
        break;
    default:
        break;
    }
}

bool TTransparentButton::event(QEvent* event) {
    // The holding window may change with the parent or with any ancestor of it.
    if (event->type() == QEvent::ParentChange || event->type() == QEvent::Show)
        watchWindow();
    return QWidget::event(event);
}

void TTransparentButton::watchWindow() {
    QWidget* host = window();
    if (host == watchedWindow_)
        return;
    if (watchedWindow_)
        watchedWindow_->removeEventFilter(this);
    watchedWindow_ = host != this ? host : nullptr;
    if (watchedWindow_)
        watchedWindow_->installEventFilter(this);
}

QString TTransparentButton::acceleratorKey() const {
    const QKeySequence mnemonic = QKeySequence::mnemonic(caption_);
    if (mnemonic.isEmpty())
        return QString();
    return QString(QChar(static_cast<char16_t>(mnemonic[0].key())));
}

bool TTransparentButton::matchesAccelerator(const QString& typed) const {
    const QString key = acceleratorKey();
    return !key.isEmpty() && typed.size() == 1 &&
           typed.at(0).toCaseFolded() == key.at(0).toCaseFolded();
}

bool TTransparentButton::eventFilter(QObject* watched, QEvent* event) {
    // Keys that reach the window unhandled by the focused control are its accelerators.
    if (watched == watchedWindow_ && event->type() == QEvent::KeyPress && isEnabled() &&
        matchesAccelerator(static_cast<QKeyEvent*>(event)->text())) {
        emit OnClick();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TTransparentButton::click() {
    if (isEnabled())
        emit OnClick();
}
