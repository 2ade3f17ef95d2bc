#include "controls/Digits.h"
#include "filetools/FileListBox.h"
#include "playlist/PlaylistView.h"
#include "support/MainWindowFixture.h"
#include "support/QtTests.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

using tb::Dialogs;
using tb::test::MainWindowFixture;

class TestPlaylistEditing : public QObject {
    Q_OBJECT

private slots:
    void itemLimit() {
        MainWindowFixture fx;
        TForm1& form = fx.showIn(dir_.filePath("limit"), {"a.mp3", "b.mp3", "c.mp3"});
        form.playlist()->appendAll(std::vector<std::string_view>(65534, "x.mp3"));
        form.Digits1->setValue(65534);
        form.Timer1Timer();
        QVERIFY(!form.StaticText1->isVisible());

        form.FileListBox1->selectAll();
        form.Button1->click();
        QCOMPARE(form.playlist()->count(), 65535u);
        QCOMPARE(QString::fromUtf8(form.playlist()->entry(65534)), QStringLiteral("limit/a.mp3"));
        QCOMPARE(fx.dialogs.texts(),
                 QStringList(2, QStringLiteral("Další položky přidávat nelze!")));
        QCOMPARE(form.Digits1->Value(), 65535); // the sign at the limit: test_looks
    }

    void addingByDoubleClickEnterAndDrag() {
        MainWindowFixture fx;
        TForm1& form = fx.showIn(dir_.filePath("add"), {"a.mp3", "b.mp3", "c.mp3", "d.txt"});
        // Double-click and Enter add only the focused file, whatever else is selected.
        form.FileListBox1->setCurrentIndex(form.FileListBox1->model()->index(1, 0));
        form.FileListBox1->selectAll();
        form.FileListBox1DblClick();
        QCOMPARE(form.Digits1->RollStep(), 7); // the counter rolls up in eight frames
        form.FileListBox1KeyPress(Qt::Key_Return);
        form.FileListBox1KeyPress(Qt::Key_A);
        QCOMPARE(fx.entries(), QStringList(2, "add/b.mp3"));

        // A drag from the file list may drop on the playlist; it adds every selected file.
        QVERIFY(form.ListBox1DragOver(form.FileListBox1));
        QVERIFY(!form.ListBox1DragOver(form.DirectoryListBox1));
        form.FileListBox1EndDrag(form.DirectoryListBox1);
        QCOMPARE(fx.entries().size(), 2); // dropped elsewhere: nothing added
        form.FileListBox1EndDrag(form.ListBox1->viewport());
        QCOMPARE(fx.entries().mid(2), (QStringList{"add/a.mp3", "add/b.mp3", "add/c.mp3"}));
    }

    // <dir> stands for the shown directory, <path> for it without its root.
    void prefixModesThroughTheWindow_data() {
        QTest::addColumn<int>("button");
        QTest::addColumn<QString>("entry");
        QTest::newRow("full path") << 1 << "<dir>/song.mp3";
        QTest::newRow("path without drive") << 2 << "<path>/song.mp3";
        QTest::newRow("last directory") << 3 << "Music/song.mp3";
        QTest::newRow("text") << 4 << "ABCsong.mp3";
        QTest::newRow("nothing") << 5 << "song.mp3";
    }

    void prefixModesThroughTheWindow() {
        QFETCH(int, button);
        QFETCH(QString, entry);
        MainWindowFixture fx;
        TForm1& form = fx.showIn(dir_.filePath("Music"), {"song.mp3"});
        const QString shown = form.DirectoryListBox1->Directory();
        form.Edit1->setText("ABC");
        QRadioButton* radio =
            QList<QRadioButton*>{form.RadioButton1, form.RadioButton2, form.RadioButton3,
                                 form.RadioButton4, form.RadioButton5}[button - 1];
        radio->click();
        QCOMPARE(form.Edit1->isEnabled(), radio == form.RadioButton4);
        form.Pridat("song.mp3");
        QCOMPARE(fx.entries(),
                 QStringList{entry.replace("<dir>", shown).replace("<path>", shown.mid(1))});
    }

    void removeSelectedAndAll() {
        MainWindowFixture fx;
        TForm1& form = fx.show();
        form.playlist()->appendAll({"0", "1", "2", "3", "4"});
        form.Digits1->setValue(5);
        form.Timer1Timer();

        for (int row : {0, 2, 3})
            form.ListBox1->setSelected(row, true);
        QTest::keyClick(form.ListBox1, Qt::Key_Delete);
        QCOMPARE(fx.entries(), (QStringList{"1", "4"}));
        form.ListBox1->setSelected(1, true);
        form.Odebrat1->trigger();
        QCOMPARE(fx.entries(), QStringList{"1"});

        // Removing all asks; only Yes empties the list.
        fx.dialogs.answers = {Dialogs::Answer::No, Dialogs::Answer::Closed, Dialogs::Answer::Yes};
        form.Button2Click();
        form.Button2Click();
        QCOMPARE(form.playlist()->count(), 1u);
        form.OdebratAll->trigger();
        QCOMPARE(form.playlist()->count(), 0u);
        QCOMPARE(form.Digits1->Value(), 0);
        QCOMPARE(fx.dialogs.texts(), QStringList(3, "Opravdu chcete odebrat všechny položky ?"));
    }

private:
    QTemporaryDir dir_;
};

QTEST_MAIN(TestPlaylistEditing)
#include "test_playlistediting.moc"
