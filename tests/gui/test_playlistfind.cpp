#include "app/Unit1.h"
#include "playlist/PlaylistFind.h"
#include "playlist/PlaylistModel.h"
#include "playlist/PlaylistView.h"
#include "support/MainWindowFixture.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QTest>

namespace {
// A window with the playlist and its find, as the main window has them.
struct Window {
    QWidget window;
    PlaylistModel model;
    TPlaylistView* list = new TPlaylistView(&window);
    PlaylistFind find{*list, model, window};

    explicit Window(const std::vector<std::string>& entries) {
        for (const std::string& entry : entries)
            model.append(entry);
        list->setModel(&model);
        list->setGeometry(10, 10, 300, 13 * 12 + 4);
        window.resize(320, 200);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        list->setFocus();
    }
    void type(const QString& text) {
        QTest::keyClick(&window, Qt::Key_F, Qt::ControlModifier);
        // keyClicks takes ASCII only.
        for (const QChar c : text)
            QTest::sendKeyEvent(QTest::Click, find.field(), Qt::Key_unknown, QString(c), {});
    }
    bool notFoundShown() const {
        return find.field()->palette().color(QPalette::Base) !=
               window.palette().color(QPalette::Base);
    }
};
} // namespace

class TestPlaylistFind : public QObject {
    Q_OBJECT

private slots:
    void findsIgnoringCaseAndAccentsRoundTheList() {
        Window w({"Černá kočka.mp3", "Žlutý pes.mp3", "\x8Elut\xFD kocour.mp3" /* Windows-1250 */,
                  "ŽLUTÁ PONORKA.mp3", "zlutý kůň.mp3", "아리랑.mp3", "Cena 5\x80.mp3" /* euro */});
        const QImage closed = w.window.grab().toImage();
        w.list->setSelected(0, true);
        w.list->setSelected(3, true);
        w.type(QStringLiteral("zlutý"));
        QCOMPARE(w.list->selectionFlags(), (std::vector<bool>{0, 1, 0, 0, 0, 0, 0}));
        QCOMPARE(w.list->currentRow(), 1);
        // Onwards and back round the ends, by F3 and Enter with or without Shift.
        const std::pair<QKeyCombination, int> steps[] = {
            {Qt::Key_F3, 2},
            {Qt::Key_Return, 4},
            {Qt::Key_F3, 1},
            {Qt::SHIFT | Qt::Key_F3, 4},
            {Qt::SHIFT | Qt::Key_Return, 2},
        };
        for (const auto& [key, row] : steps) {
            QTest::keyClick(w.find.field(), key.key(), key.keyboardModifiers());
            QCOMPARE(w.list->currentRow(), row);
            QCOMPARE(w.list->selectedCount(), 1);
        }
        // Ctrl+F again selects the text, so that typing replaces it.
        w.type(QStringLiteral("PONORKA"));
        QCOMPARE(w.list->currentRow(), 3);
        // A letter of several characters, as a Korean syllable is, is found whole.
        w.type(QStringLiteral("리랑"));
        QCOMPARE(w.list->currentRow(), 5);
        w.type(QStringLiteral("5€"));
        QVERIFY(w.list->currentRow() == 6 && !w.notFoundShown());
        QVERIFY(!w.list->geometry().intersects(w.find.field()->parentWidget()->geometry()));

        QTest::keyClick(w.find.field(), Qt::Key_Escape);
        QVERIFY(!w.find.isOpen() && w.list->hasFocus());
        w.list->clearSelection();
        w.list->setCurrentRow(-1);
        QCOMPARE(w.window.grab().toImage(), closed);
    }

    void noMatchKeepsTheSelection() {
        Window w({"alfa.mp3", "beta.mp3", "gama.mp3"});
        w.type(QStringLiteral("beta"));
        QTest::keyClick(w.find.field(), Qt::Key_F3); // round the list back to the only match
        QVERIFY(w.list->currentRow() == 1 && !w.find.searching());
        w.list->setSelected(2, true);
        QTest::keyClick(w.find.field(), Qt::Key_X);
        QCOMPARE(w.list->selectionFlags(), (std::vector<bool>{0, 1, 1}));
        QVERIFY(w.notFoundShown());
        // A matching entry that comes later is found, and the field looks as before.
        w.model.append("betax.mp3");
        QTRY_COMPARE(w.list->currentRow(), 3);
        QCOMPARE(w.list->selectionFlags(), (std::vector<bool>{0, 0, 0, 1}));
        QVERIFY(!w.notFoundShown());
        QTest::keyClick(w.find.field(), Qt::Key_Backspace);
        QTest::keyClick(w.find.field(), Qt::Key_Backspace);
        QVERIFY(!w.notFoundShown());
        w.type(QStringLiteral("q"));
        QVERIFY(w.notFoundShown());
        QTest::keyClick(w.find.field(), Qt::Key_Backspace); // an empty field looks plain again
        QVERIFY(!w.notFoundShown());
        QTest::mouseClick(w.find.field(), Qt::LeftButton, {}, {1, 5}); // the field takes clicks
        QCOMPARE(w.find.field()->cursorPosition(), 0);
    }

    void farMatchAmongManyIsFoundAndShown() {
        std::vector<std::string> entries;
        for (int i = 0; i < 200'000; ++i)
            entries.push_back("Skladba č. " + std::to_string(i) + ".mp3");
        entries[199'990] = "Žlutý pes.mp3";
        entries[1] = "Hudba.mp3";
        Window w(entries);
        w.type(QStringLiteral("zlutý pes"));
        QVERIFY(w.find.searching()); // the window answers meanwhile
        std::vector<bool> remove(w.model.count(), false);
        remove[0] = true;
        w.model.removeFlagged(remove); // searched again as the rows are now
        QTRY_COMPARE(w.list->currentRow(), 199'989);
        QVERIFY(w.list->viewport()->rect().contains(w.list->visualRect(199'989)));
        // An entry added while the search runs is searched too, wherever the search is.
        w.type(QStringLiteral("kocour"));
        QVERIFY(w.find.searching());
        w.model.append("Kocour.mp3");
        QTRY_COMPARE(w.list->currentRow(), 199'999);
        // F3 while it runs backwards turns it: from Žlutý pes on to Kocour, not back to Hudba.
        w.type(QStringLiteral("u"));
        QTest::keyClick(w.find.field(), Qt::Key_F3, Qt::ShiftModifier);
        QTest::keyClick(w.find.field(), Qt::Key_F3, Qt::ShiftModifier);
        QVERIFY(w.list->currentRow() == 199'989 && w.find.searching());
        QTest::keyClick(w.find.field(), Qt::Key_F3);
        QTRY_COMPARE(w.list->currentRow(), 199'999);
    }

    void mainWindowFindsByKeysAndMenu() {
        tb::test::MainWindowFixture fx;
        TForm1& form = fx.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        const QList<QAction*> menu = form.POP2->actions().mid(form.POP2->actions().size() - 3);
        QCOMPARE(menu.at(1)->shortcut(), QKeySequence(Qt::Key_F3));
        QCOMPARE(menu.at(2)->shortcut(), QKeySequence(Qt::SHIFT | Qt::Key_F3));
        QVERIFY(!menu.at(0)->isEnabled()); // nothing to find yet
        form.playlist()->append("a.mp3");
        form.playlist()->append("Žlutý pes.mp3");
        QTest::keyClick(&form, Qt::Key_F, Qt::ControlModifier);
        QTest::keyClicks(QApplication::focusWidget(), "PES");
        QCOMPARE(form.ListBox1->currentRow(), 1);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QVERIFY(form.ListBox1->hasFocus());
    }
};

QTEST_MAIN(TestPlaylistFind)
#include "test_playlistfind.moc"
