#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QStringDecoder>
#include <QTimer>
#include <string_view>
#include <vector>

class PlaylistModel;
class QAction;
class QLabel;
class QLineEdit;
class QWidget;
class TPlaylistView;

// Finds entries of the playlist as the user types: Ctrl+F opens a field at the foot of the list,
// each change of its text selects and shows the first entry from the current one on
// whose text holds it, case and accents aside; Enter or F3 goes to the next, Shift+F3
// to the one before, round past the ends, and Escape closes the field.
//
// The entries are looked through on the window's thread in slices of a few
// milliseconds, resumed from a zero timer, so that a million of them do not hold up
// the typing. Nothing is kept of them between searches: the playlist may change under
// the search at any time, and a cache of their folded texts, two bytes a character,
// would take about twice the memory of the playlist itself.
class PlaylistFind : public QObject {
    Q_OBJECT

public:
    // The field is made a child of window, which holds the list; the commands become
    // the window's shortcuts.
    PlaylistFind(TPlaylistView& list, PlaylistModel& playlist, QWidget& window);
    ~PlaylistFind() override;

    // "Najít", "Najít další" and "Najít předchozí", for a menu.
    QList<QAction*> actions() const { return {find_, next_, previous_}; }

    bool isOpen() const;
    QLineEdit* field() const { return field_; }
    // True while the entries are still being looked through.
    bool searching() const { return left_ > 0; }

    // The text as the search compares it: decomposed, without combining marks,
    // case-folded.
    static QString folded(const QString& text);

    // Opens the field (or takes the focus back to it) with its text selected.
    void open();
    // Closes the field and gives the focus back to the list.
    void close();
    void findNext();
    void findPrevious();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void textEdited();
    // Looks through `rows` entries from `from` on in the direction given. Later: from
    // the event loop, once everyone has heard of the playlist's change that asks for it.
    void search(int from, int step, int rows, bool later = false);
    void searchSlice();
    bool matches(std::string_view entry);
    bool foldedHolds(QChar* begin, const QChar* end, std::string_view entry);
    char16_t foldedChar(char16_t c);
    void showFound(int row);
    void showNotFound(bool notFound);
    void rowsInserted(int first, int last);
    void playlistChanged();
    void updateActions();
    void placeBar();

    TPlaylistView& list_;
    PlaylistModel& playlist_;
    QPointer<QWidget> bar_;
    QLineEdit* field_ = nullptr;
    QLabel* status_ = nullptr;
    QAction* find_ = nullptr;
    QAction* next_ = nullptr;
    QAction* previous_ = nullptr;
    // The list's place while the field is closed; it gives the field room while open.
    QRect listGeometry_;

    // What is looked for, folded; as Latin-1 too when it is ASCII, else empty.
    QString needle_;
    QByteArray asciiNeedle_;
    // The search under way: the next row, the direction and how many rows are left.
    int row_ = 0;
    int step_ = 1;
    int left_ = 0;
    // Rows that came behind the search, looked through after the others; -1 for none.
    int pendingFirst_ = -1;
    int pendingLast_ = -1;
    bool notFound_ = false;
    QTimer slices_;
    QStringDecoder utf8_;
    // Each character as folded, filled as characters are met.
    std::vector<char16_t> foldedChars_;
    QString scratch_;
};
