#include "playlist/PlaylistFind.h"

#include "playlist/PlaylistModel.h"
#include "playlist/PlaylistView.h"

#include <QAction>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QToolButton>
#include <algorithm>

namespace {
// A slice of the search: short enough that typing goes on smoothly between slices.
constexpr qint64 kSliceNanoseconds = 4'000'000;
// Rows looked at between readings of the clock.
constexpr int kRowsPerReading = 64;
// As much of an entry as its row shows, and so as the search looks at.
constexpr std::size_t kShownBytes = 4096;

// What a character folds to, where it is not one character.
constexpr char16_t kUnknown = 0; // not met yet
constexpr char16_t kDropped = 0xFFFE;
// Several characters, or half of a pair: the entry is folded whole.
constexpr char16_t kComplex = 0xFFFF;

const QString kNotFound = QStringLiteral("nenalezeno");

bool isAscii(std::string_view bytes) {
    return std::none_of(bytes.begin(), bytes.end(),
                        [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

QLatin1StringView latin1(std::string_view bytes) {
    return {bytes.data(), static_cast<qsizetype>(bytes.size())};
}
} // namespace

PlaylistFind::PlaylistFind(TPlaylistView& list, PlaylistModel& playlist, QWidget& window)
    : list_(list), playlist_(playlist),
      utf8_(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless),
      foldedChars_(0x10000, kUnknown) {
    bar_ = new QWidget(&window);
    // The window may be dark; the field is drawn in the desktop's colours, like the list
    // it belongs to. Each colour is set, since the window's own ones would be inherited.
    QPalette look = bar_->palette();
    const QPalette desktop = QGuiApplication::palette();
    for (int role = 0; role < QPalette::NColorRoles; ++role)
        for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
            const auto colorRole = static_cast<QPalette::ColorRole>(role);
            look.setColor(group, colorRole, desktop.color(group, colorRole));
        }
    bar_->setPalette(look);
    bar_->setAutoFillBackground(true);
    bar_->hide();
    auto* layout = new QHBoxLayout(bar_);
    layout->setContentsMargins(3, 1, 1, 1);
    layout->setSpacing(3);
    auto* label = new QLabel(QStringLiteral("Najít:"), bar_);
    field_ = new QLineEdit(bar_);
    field_->setAccessibleName(QStringLiteral("Najít v playlistu"));
    label->setBuddy(field_);
    status_ = new QLabel(bar_);
    status_->setAccessibleName(QStringLiteral("Výsledek hledání"));
    status_->setMinimumWidth(status_->fontMetrics().horizontalAdvance(kNotFound) + 2);
    auto* closeButton = new QToolButton(bar_);
    closeButton->setIcon(bar_->style()->standardIcon(QStyle::SP_TitleBarCloseButton));
    closeButton->setAutoRaise(true);
    closeButton->setFocusPolicy(Qt::NoFocus);
    closeButton->setToolTip(QStringLiteral("Zavřít hledání (Esc)"));
    closeButton->setAccessibleName(QStringLiteral("Zavřít hledání"));
    layout->addWidget(label);
    layout->addWidget(field_, 1);
    layout->addWidget(status_);
    layout->addWidget(closeButton);
    connect(closeButton, &QToolButton::clicked, this, &PlaylistFind::close);
    connect(field_, &QLineEdit::textEdited, this, &PlaylistFind::textEdited);
    field_->installEventFilter(this);

    // Children of the bar, so that they go with it; shortcuts of the whole window.
    const auto command = [&](const QString& text, const QKeySequence& key,
                             void (PlaylistFind::*run)()) {
        auto* action = new QAction(text, bar_);
        action->setShortcut(key);
        action->setShortcutContext(Qt::WindowShortcut);
        window.addAction(action);
        connect(action, &QAction::triggered, this, run);
        return action;
    };
    find_ =
        command(QStringLiteral("Najít"), QKeySequence(Qt::CTRL | Qt::Key_F), &PlaylistFind::open);
    find_->setIcon(QIcon::fromTheme(QStringLiteral("edit-find")));
    next_ =
        command(QStringLiteral("Najít další"), QKeySequence(Qt::Key_F3), &PlaylistFind::findNext);
    previous_ = command(QStringLiteral("Najít předchozí"), QKeySequence(Qt::SHIFT | Qt::Key_F3),
                        &PlaylistFind::findPrevious);

    slices_.setSingleShot(true);
    slices_.setInterval(0);
    connect(&slices_, &QTimer::timeout, this, &PlaylistFind::searchSlice);

    connect(&playlist_, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex&, int first, int last) { rowsInserted(first, last); });
    connect(&playlist_, &QAbstractItemModel::rowsRemoved, this, &PlaylistFind::playlistChanged);
    connect(&playlist_, &QAbstractItemModel::rowsMoved, this, &PlaylistFind::playlistChanged);
    connect(&playlist_, &QAbstractItemModel::modelReset, this, &PlaylistFind::playlistChanged);
    connect(&playlist_, &QAbstractItemModel::layoutChanged, this, &PlaylistFind::playlistChanged);
    connect(&playlist_, &QAbstractItemModel::dataChanged, this, &PlaylistFind::playlistChanged);
    updateActions();
}

PlaylistFind::~PlaylistFind() {
    delete bar_; // with the commands; gone already where the window went first
}

bool PlaylistFind::isOpen() const {
    return bar_ && !bar_->isHidden(); // open also while the window is minimised
}

QString PlaylistFind::folded(const QString& text) {
    QString decomposed = text.normalized(QString::NormalizationForm_D);
    decomposed.removeIf([](QChar c) { return c.category() == QChar::Mark_NonSpacing; });
    return decomposed.toCaseFolded();
}

void PlaylistFind::open() {
    if (!isOpen()) {
        placeBar();
        bar_->show();
        bar_->raise();
    }
    field_->setFocus(Qt::ShortcutFocusReason);
    field_->selectAll();
}

// The list gives up its bottom rows to the field while it is open, so that no entry
// is hidden under it; closed, the list has its place back to the pixel.
void PlaylistFind::placeBar() {
    listGeometry_ = list_.geometry();
    const int height = bar_->sizeHint().height();
    const QPoint at = list_.mapTo(bar_->parentWidget(), QPoint(0, list_.height() - height));
    list_.setGeometry(listGeometry_.adjusted(0, 0, 0, -height));
    bar_->setGeometry(at.x(), at.y(), list_.width(), height);
}

void PlaylistFind::close() {
    if (!isOpen())
        return;
    left_ = 0;
    slices_.stop();
    bar_->hide();
    // Unless the window has placed the list anew meanwhile.
    if (list_.geometry() == listGeometry_.adjusted(0, 0, 0, -bar_->height()))
        list_.setGeometry(listGeometry_);
    list_.setFocus(Qt::OtherFocusReason);
}

void PlaylistFind::findNext() {
    if (!isOpen())
        open();
    if (searching() && step_ == 1)
        return; // the search under way goes this way already
    search(list_.currentRow() + 1, 1, list_.count());
}

void PlaylistFind::findPrevious() {
    if (!isOpen())
        open();
    if (searching() && step_ == -1)
        return;
    const int current = list_.currentRow();
    search(current < 0 ? list_.count() - 1 : current - 1, -1, list_.count());
}

bool PlaylistFind::eventFilter(QObject* watched, QEvent* event) {
    if (watched != field_ ||
        (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride))
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool escape = key->key() == Qt::Key_Escape;
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (!escape && !enter)
        return false;
    // Taken here before any shortcut of the window's can take it.
    event->accept();
    if (event->type() == QEvent::ShortcutOverride)
        return true;
    if (escape)
        close();
    else if (key->modifiers() & Qt::ShiftModifier)
        findPrevious();
    else
        findNext();
    return true;
}

void PlaylistFind::textEdited() {
    needle_ = folded(field_->text());
    const bool ascii =
        std::all_of(needle_.begin(), needle_.end(), [](QChar c) { return c.unicode() < 0x80; });
    asciiNeedle_ = ascii ? needle_.toLatin1() : QByteArray();
    updateActions();
    // The entry shown stays while it still holds the text.
    search(std::max(0, list_.currentRow()), 1, list_.count());
}

void PlaylistFind::search(int from, int step, int rows, bool later) {
    step_ = step;
    const int count = list_.count();
    if (needle_.isEmpty()) {
        left_ = 0;
        slices_.stop();
        showNotFound(false);
        return;
    }
    left_ = std::min(rows, count);
    pendingFirst_ = pendingLast_ = -1;
    row_ = count > 0 ? (from % count + count) % count : 0;
    if (later)
        slices_.start();
    else
        searchSlice();
}

void PlaylistFind::searchSlice() {
    QElapsedTimer clock;
    clock.start();
    const int count = list_.count();
    while (left_ > 0) {
        for (int i = 0; i < kRowsPerReading && left_ > 0; ++i) {
            const int row = row_;
            row_ = (row + step_ + count) % count;
            --left_;
            if (matches(playlist_.entry(static_cast<std::size_t>(row)))) {
                showFound(row);
                return;
            }
        }
        if (left_ == 0 && pendingFirst_ >= 0) {
            // Then the rows that came behind the search.
            row_ = pendingFirst_;
            step_ = 1;
            left_ = pendingLast_ - pendingFirst_ + 1;
            pendingFirst_ = pendingLast_ = -1;
        }
        if (left_ > 0 && clock.nsecsElapsed() >= kSliceNanoseconds) {
            slices_.start();
            return;
        }
    }
    showNotFound(true);
}

bool PlaylistFind::matches(std::string_view entry) {
    // Most entries are plain ASCII: those are compared as they are, without decoding.
    const std::string_view shown = entry.substr(0, kShownBytes);
    if (isAscii(shown))
        return !asciiNeedle_.isEmpty() &&
               latin1(shown).contains(QLatin1StringView(asciiNeedle_), Qt::CaseInsensitive);
    // UTF-8 that the row shows whole is decoded straight into the scratch; the rest as
    // the row decodes it.
    if (entry.size() <= kShownBytes) {
        scratch_.resize(static_cast<qsizetype>(entry.size())); // never more characters
        QChar* const end = utf8_.appendToBuffer(scratch_.data(), latin1(entry));
        if (!utf8_.hasError())
            return foldedHolds(scratch_.data(), end, entry);
        utf8_.resetState();
    }
    const QString text = playlist_.displayText(entry);
    scratch_ = text;
    return foldedHolds(scratch_.data(), scratch_.data() + scratch_.size(), entry);
}

// Folds the characters in place and looks for the text in them.
bool PlaylistFind::foldedHolds(QChar* begin, const QChar* end, std::string_view entry) {
    QChar* out = begin;
    for (const QChar* c = begin; c != end; ++c) {
        char16_t f = foldedChars_[c->unicode()];
        if (f == kUnknown)
            f = foldedChar(c->unicode());
        if (f == kComplex)
            return folded(playlist_.displayText(entry)).contains(needle_);
        if (f != kDropped)
            *out++ = QChar(f);
    }
    return QStringView(begin, out).contains(needle_);
}

// Folding a string is folding each of its characters, apart from pairs and the
// characters that come apart into several; those are marked to fold the text whole.
char16_t PlaylistFind::foldedChar(char16_t c) {
    char16_t& known = foldedChars_[c];
    if (known != kUnknown)
        return known;
    if (QChar::isSurrogate(c))
        return known = kComplex;
    const QString one = folded(QString(QChar(c)));
    if (one.isEmpty())
        known = kDropped;
    else if (one.size() == 1 && one[0] != QChar(kDropped) && one[0] != QChar(kComplex))
        known = one[0].unicode();
    else
        known = kComplex;
    return known;
}

void PlaylistFind::showFound(int row) {
    left_ = 0;
    slices_.stop();
    if (!list_.isSelected(row) || list_.selectedCount() != 1) {
        list_.clearSelection();
        list_.setSelected(row, true);
    }
    list_.setCurrentRow(row);
    list_.scrollTo(row);
    showNotFound(false);
}

void PlaylistFind::showNotFound(bool notFound) {
    if (notFound == notFound_)
        return;
    notFound_ = notFound;
    QPalette look = bar_->palette();
    if (notFound) {
        look.setColor(QPalette::Base, QColor(0xFF, 0xC8, 0xC8));
        look.setColor(QPalette::Text, Qt::black);
    }
    field_->setPalette(look);
    // Said in words too, for those who do not see the colour.
    status_->setText(notFound ? kNotFound : QString());
}

// Rows that come while a search runs are looked through too: in their turn where they
// come among the rows still to go, else after them. After a vain search the new rows
// alone are.
void PlaylistFind::rowsInserted(int first, int last) {
    updateActions();
    const int added = last - first + 1;
    if (!searching()) {
        if (notFound_)
            search(first, 1, added, true);
        return;
    }
    const int before = list_.count() - added;
    if (before <= 0)
        return;
    const int gap = first % before; // the place of the new rows, round the list
    const bool among = step_ > 0 ? (gap - row_ + before) % before < left_
                                 : (row_ - gap + before) % before <= left_ - 2;
    if (step_ > 0 && among && gap == row_)
        row_ = first; // the new rows go first
    else if (row_ >= first)
        row_ += added;
    if (pendingFirst_ >= first)
        pendingFirst_ += added;
    if (pendingLast_ >= first)
        pendingLast_ += added;
    if (among) {
        left_ += added;
    } else {
        pendingFirst_ = pendingFirst_ < 0 ? first : std::min(pendingFirst_, first);
        pendingLast_ = std::max(pendingLast_, last);
    }
}

void PlaylistFind::playlistChanged() {
    updateActions();
    if (searching() || notFound_)
        search(std::max(0, list_.currentRow()), step_, list_.count(), true);
}

void PlaylistFind::updateActions() {
    const bool entries = playlist_.count() > 0;
    find_->setEnabled(entries);
    next_->setEnabled(entries && !field_->text().isEmpty());
    previous_->setEnabled(next_->isEnabled());
}
