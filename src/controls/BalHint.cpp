#include "controls/BalHint.h"

#include <QApplication>
#include <QCursor>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <vector>

namespace {

// The application's hint manager once a TBaloonHint has been made: it swallows every tool
// tip event, so Qt never shows its own tips, times the pause and the showing itself, and
// hides the balloon on leave, keys, buttons, the wheel and a change of the active window.
class HintManager : public QObject {
public:
    static HintManager* instance() { return instance_; }

    static HintManager* install() {
        if (!instance_ && qApp) {
            instance_ = new HintManager;
            // Before QApplication takes its widgets down, while the window can still go.
            qAddPostRoutine([] {
                delete instance_;
                instance_ = nullptr;
            });
        }
        return instance_;
    }

    void add(TBaloonHint* balloon) { balloons_.push_back(balloon); }

    void remove(TBaloonHint* balloon) {
        std::erase(balloons_, balloon);
        hideBalloon(); // it may be showing this one's looks
    }

    // The component whose looks the balloon takes: the first one the main window owns, or,
    // where it owns none, the first one made that still lives.
    TBaloonHint* styling() const {
        const auto owned = std::ranges::find_if(balloons_, [](const TBaloonHint* balloon) {
            return mainWindow_ && balloon->ownerForm() == mainWindow_;
        });
        if (owned != balloons_.end())
            return *owned;
        return balloons_.empty() ? nullptr : balloons_.front();
    }

    // Kept apart from the manager: naming the main window takes over no tool tips.
    static void setMainWindow(QWidget* window) {
        if (!mainWindow_)
            mainWindow_ = window;
    }

    TBaloonHintWindow* window() { return &window_; }

    void setPause(int milliseconds) { pause_ = std::max(milliseconds, 0); }
    void setHidePause(int milliseconds) { hidePause_ = std::max(milliseconds, 0); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::ToolTip:
            return true;
        case QEvent::MouseMove:
            if (watched->isWidgetType())
                pointerMoved(static_cast<QWidget*>(watched), *static_cast<QMouseEvent*>(event));
            break;
        case QEvent::Leave:
            if (watched == control_)
                leaveControl();
            break;
        case QEvent::KeyPress:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::NonClientAreaMouseButtonPress:
        case QEvent::Wheel:
            cancel();
            break;
        default:
            break;
        }
        return false;
    }

private:
    HintManager() {
        pauseTimer_.setSingleShot(true);
        hideTimer_.setSingleShot(true);
        connect(&pauseTimer_, &QTimer::timeout, this, &HintManager::showHint);
        connect(&hideTimer_, &QTimer::timeout, this, &HintManager::hideBalloon);
        connect(qApp, &QGuiApplication::focusWindowChanged, this, &HintManager::cancel);
        connect(qApp, &QGuiApplication::applicationStateChanged, this, &HintManager::cancel);
        qApp->installEventFilter(this);
    }

    ~HintManager() override {
        if (qApp)
            qApp->removeEventFilter(this);
    }

    // The control whose hint applies: the one under the pointer, or the nearest parent
    // within its window that has a hint.
    static QWidget* hintControl(QWidget* underPointer) {
        for (QWidget* w = underPointer; w; w = w->parentWidget()) {
            if (!w->toolTip().isEmpty())
                return w;
            if (w->isWindow())
                break;
        }
        return nullptr;
    }

    void pointerMoved(QWidget* receiver, const QMouseEvent& move) {
        if (move.buttons() != Qt::NoButton)
            return;
        // A move that the receiver ignores comes again to each parent; the first one counts.
        const QPoint globalPos = move.globalPosition().toPoint();
        if (move.timestamp() == lastMoveTime_ && globalPos == lastMovePos_)
            return;
        lastMoveTime_ = move.timestamp();
        lastMovePos_ = globalPos;

        QWidget* control = hintControl(receiver);
        if (control == control_) {
            // Within the same control the pause keeps running from its arrival; only after
            // a cancel or a time-out does a move start it anew.
            if (control && !pauseTimer_.isActive() && !window_.isVisible())
                pauseTimer_.start(pause_);
            return;
        }
        hideBalloon();
        control_ = control;
        if (control)
            pauseTimer_.start(pause_);
    }

    void leaveControl() {
        hideBalloon();
        control_ = nullptr;
    }

    // Hides the balloon; the next move over the control waits the pause again.
    void cancel() { hideBalloon(); }

    void hideBalloon() {
        pauseTimer_.stop();
        hideTimer_.stop();
        window_.hide();
    }

    void showHint() {
        if (!control_ || !control_->isVisible())
            return;
        // The part before the first vertical bar is the short hint.
        const QString text = control_->toolTip().section(QLatin1Char('|'), 0, 0);
        if (text.isEmpty())
            return;
        window_.ActivateHint(QRect(), text);
        if (window_.isVisible())
            hideTimer_.start(hidePause_);
    }

    static inline HintManager* instance_ = nullptr;

    TBaloonHintWindow window_;
    static inline QPointer<QWidget> mainWindow_;

    std::vector<TBaloonHint*> balloons_;
    QPointer<QWidget> control_;
    QTimer pauseTimer_;
    QTimer hideTimer_;
    int pause_ = 0;
    int hidePause_ = 0;
    quint64 lastMoveTime_ = 0;
    QPoint lastMovePos_;
};

QPolygon polygon(const auto& points) {
    QPolygon out;
    out.reserve(static_cast<int>(points.size()));
    for (const tb::BalloonPoint& p : points)
        out << QPoint(p.x, p.y);
    return out;
}

struct MeasuredText {
    std::vector<QString> lines;
    std::vector<tb::BalloonSize> sizes;
};

MeasuredText measure(const QString& text, const QFontMetrics& metrics) {
    MeasuredText measured;
    for (const std::u16string& line : tb::hintLines(text.toStdU16String())) {
        measured.lines.push_back(QString::fromStdU16String(line));
        measured.sizes.push_back(
            {metrics.horizontalAdvance(measured.lines.back()), metrics.height()});
    }
    return measured;
}

std::optional<tb::BalloonSize> iconSize(const TBaloonHint& balloon) {
    const QPixmap icon = balloon.Icon();
    if (icon.isNull())
        return std::nullopt;
    return tb::BalloonSize{icon.width(), icon.height()};
}

const THintScreen& realScreen() {
    static const THintScreen screen;
    return screen;
}

} // namespace

QPoint THintScreen::pointer() const {
    return QCursor::pos();
}

int THintScreen::screenWidth() const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().width() : 0;
}

TBaloonHintWindow::TBaloonHintWindow(QWidget* parent)
    : QWidget(parent, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                          Qt::WindowDoesNotAcceptFocus | Qt::WindowTransparentForInput) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
}

void TBaloonHintWindow::setHintScreen(const THintScreen* screen) {
    screen_ = screen;
}

void TBaloonHintWindow::ActivateHint(const QRect& /*rect*/, const QString& text) {
    HintManager* manager = HintManager::instance();
    TBaloonHint* balloon = manager ? manager->styling() : nullptr;
    if (!balloon)
        return;
    balloon_ = balloon;

    const THintScreen& screen = screen_ ? *screen_ : realScreen();
    const QPoint pointer = screen.pointer();
    balloon->hintPos_ = pointer;
    emit balloon->OnHint(balloon, pointer.x(), pointer.y());
    if (!balloon_) // the handler may have let the component go
        return;

    setWindowTitle(text);
    text_ = text;
    setFont(balloonFont());

    const MeasuredText measured = measure(text, fontMetrics());
    shape_ = tb::balloonShape(tb::textBlockSize(measured.sizes), iconSize(*balloon),
                              {pointer.x(), pointer.y()}, screen.screenWidth());

    QRegion region = QRegion(polygon(shape_.body), Qt::WindingFill) +
                     QRegion(polygon(shape_.tail), Qt::OddEvenFill);
    if (balloon->HintShadowOn())
        region += region.translated(tb::kShadowOffset, tb::kShadowOffset);
    region_ = region;

    const tb::Rect& b = shape_.bounds;
    setGeometry(b.left, b.top, b.right - b.left, b.bottom - b.top);
    setMask(region_);
    // A tool-tip window is placed above all others when shown; no raise is needed.
    show();
    update();
}

QFont TBaloonHintWindow::balloonFont() const {
    if (!balloon_)
        return QApplication::font();
    if (!balloon_->OwnerFont())
        return balloon_->Font();
    const QWidget* owner = balloon_->ownerForm();
    return owner ? owner->font() : QApplication::font();
}

QColor TBaloonHintWindow::textColor() const {
    if (balloon_ && balloon_->OwnerFont()) {
        if (const QWidget* owner = balloon_->ownerForm())
            return owner->palette().color(QPalette::WindowText);
    } else if (balloon_ && balloon_->FontColor().isValid()) {
        return balloon_->FontColor();
    }
    return QGuiApplication::palette().color(QPalette::WindowText);
}

void TBaloonHintWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // Only the window's region shows, so black is left only where the shadow falls.
    painter.fillRect(rect(), Qt::black);
    if (!balloon_)
        return;

    const QPolygon outline = polygon(shape_.outline);
    painter.setPen(balloon_->Pen());
    painter.setBrush(balloon_->HintColor());
    painter.drawPolygon(outline);
    // A patterned brush lets the hint colour show through its gaps.
    painter.setBrush(balloon_->Brush());
    painter.drawPolygon(outline);

    const QFont font = balloonFont();
    painter.setFont(font);
    const QFontMetrics metrics(font);
    tb::Rect textArea = shape_.textRect;
    if (const std::optional<tb::BalloonSize> icon = iconSize(*balloon_)) {
        const tb::IconAndText placed = tb::placeIconAndText(textArea, shape_.text, *icon);
        painter.drawPixmap(placed.icon.x, placed.icon.y, balloon_->Icon());
        textArea = placed.text;
    }

    const MeasuredText measured = measure(text_, metrics);
    const std::vector<tb::BalloonPoint> places =
        tb::placeTextLines(textArea, shape_.text, measured.sizes, balloon_->Alignment());
    painter.setPen(textColor());
    for (std::size_t k = 0; k < places.size(); ++k)
        painter.drawText(QPoint(places[k].x, places[k].y + metrics.ascent()), measured.lines[k]);
}

TBaloonHint::TBaloonHint(QObject* parent) : QObject(parent) {
    if (HintManager* manager = HintManager::install()) {
        manager->setPause(hintPauseTime_);
        manager->setHidePause(hintHidePause_);
        manager->add(this);
    }
}

TBaloonHint::~TBaloonHint() {
    if (HintManager* manager = HintManager::instance())
        manager->remove(this);
}

TBaloonHintWindow* TBaloonHint::HintWindow() {
    HintManager* manager = HintManager::instance();
    return manager ? manager->window() : nullptr;
}

void TBaloonHint::setMainWindow(QWidget* window) {
    HintManager::setMainWindow(window);
}

void TBaloonHint::setHintPauseTime(int milliseconds) {
    if (milliseconds == hintPauseTime_)
        return;
    hintPauseTime_ = milliseconds;
    if (HintManager* manager = HintManager::instance())
        manager->setPause(milliseconds);
}

void TBaloonHint::setHintHidePause(int milliseconds) {
    hintHidePause_ = milliseconds;
    if (HintManager* manager = HintManager::instance())
        manager->setHidePause(milliseconds);
}

void TBaloonHint::setFont(const QFont& font) {
    font_ = font;
    ownerFont_ = false;
}

void TBaloonHint::setFontColor(const QColor& color) {
    fontColor_ = color;
    ownerFont_ = false;
}

void TBaloonHint::setOwnerFont(bool on) {
    if (on) {
        if (const QWidget* owner = ownerForm()) {
            font_ = owner->font();
            fontColor_ = owner->palette().color(QPalette::WindowText);
        }
    }
    ownerFont_ = on;
}

QWidget* TBaloonHint::ownerForm() const {
    QWidget* owner = qobject_cast<QWidget*>(parent());
    return owner ? owner->window() : nullptr;
}
