// Files and folders dropped from a file manager onto the playlist and the directory list.
#include "controls/Digits.h"
#include "filetools/DirectoryListBox.h"
#include "filetools/FileListBox.h"
#include "playlist/PlaylistModel.h"
#include "playlist/PlaylistView.h"
#include "support/LookAlikeFolders.h"
#include "support/MainWindowFixture.h"
#include "support/QtTests.h"

#include <QDropEvent>
#include <QMimeData>
#include <QRadioButton>
#include <QTemporaryDir>
#include <sys/stat.h>

using tb::test::MainWindowFixture;

namespace {

// An address as a file manager writes it: the path's bytes percent-encoded.
QByteArray fileUrl(const QByteArray& pathBytes) {
    return "file://" + pathBytes.toPercentEncoding("/");
}

// Drags the addresses over the widget and drops them, as another program's drag arrives
// (no source in this program); a file manager proposes to move. Refused: IgnoreAction.
Qt::DropAction dropOnto(QWidget* target, const QList<QByteArray>& urls,
                        Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction) {
    QMimeData data;
    data.setData("text/uri-list", urls.join("\r\n") + "\r\n");
    const QPoint at(target->width() / 2, target->height() / 2);
    QDragEnterEvent enter(at, actions, &data, Qt::LeftButton, Qt::NoModifier);
    enter.setDropAction(Qt::MoveAction);
    QCoreApplication::sendEvent(target, &enter);
    if (!enter.isAccepted())
        return Qt::IgnoreAction;
    QDropEvent drop(QPointF(at), actions, &data, Qt::LeftButton, Qt::NoModifier);
    drop.setDropAction(Qt::MoveAction);
    QCoreApplication::sendEvent(target, &drop);
    return drop.isAccepted() ? drop.dropAction() : Qt::IgnoreAction;
}

} // namespace

class TestDroppedFiles : public QObject {
    Q_OBJECT

private slots:
    void filesAndFoldersDroppedOnThePlaylist() {
        MainWindowFixture fx;
        TForm1& form = fx.show();
        tb::test::makeFiles(dir_.path(),
                            {"rock/b.MP3", "rock/a.mp3", "rock/cover.jpg", "rock/.hidden.mp3",
                             "rock/live/x.mp3", "pop/one.mp3", "pop/notes.txt", "pop/b.flac"});
        ::mkfifo(pathOf("pop/pipe.mp3").constData(), 0600);
        form.RadioButton1->setChecked(true); // full paths show where each entry came from

        // In the order dropped: a file, a folder's matching files (not its subfolder's, not
        // hidden ones, in the file list's order), a file the mask refuses, a missing file, a
        // FIFO, a web address and a file of another host are left out.
        QCOMPARE(dropOnto(form.ListBox1->viewport(),
                          {fileUrl(pathOf("pop/one.mp3")), fileUrl(pathOf("rock/")),
                           fileUrl(pathOf("pop/notes.txt")), fileUrl(pathOf("pop/gone.mp3")),
                           fileUrl(pathOf("pop/pipe.mp3")), "https://example.org/song.mp3",
                           "file://otherhost/srv/song.mp3"}),
                 Qt::CopyAction); // accepted, never as a move: the files stay where they are
        const QByteArray pop = pathOf("pop/"), rock = pathOf("rock/");
        QCOMPARE(fx.entryBytes(),
                 (QList<QByteArray>{pop + "one.mp3", rock + "a.mp3", rock + "b.MP3"}));

        // The prefix mode applies as to any add: the dropped file's own folder, not the shown one.
        form.RadioButton3->setChecked(true);
        dropOnto(form.ListBox1->viewport(), {fileUrl(pathOf("rock/a.mp3"))});
        QCOMPARE(fx.entries().last(), QStringLiteral("rock/a.mp3"));

        // Only web addresses, or no addresses at all: refused, nothing added.
        QVERIFY(!dropOnto(form.ListBox1->viewport(), {"https://example.org/a.mp3"}));
        QMimeData text;
        text.setText(QString::fromUtf8(fileUrl(pathOf("pop/one.mp3"))));
        QDragEnterEvent enter({5, 5}, Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(form.ListBox1->viewport(), &enter);
        QVERIFY(!enter.isAccepted());
        QVERIFY(!dropOnto(form.DirectoryListBox1->viewport(), {"https://example.org/"}));
        QCOMPARE(form.playlist()->count(), std::size_t{4});

        // A music file dropped by itself goes in whatever the filter shows.
        dropOnto(form.ListBox1->viewport(), {fileUrl(pathOf("pop/b.flac"))});
        QCOMPARE(fx.entries().last(), QStringLiteral("pop/b.flac"));

        // Short of the item limit the first file fits; the next is refused with the one error
        // box, and the drop ends.
        tb::test::makeFiles(dir_.path(), {"many/1.mp3", "many/2.mp3", "many/3.mp3"});
        while (form.playlist()->count() < TForm1::ItemLimit - 1)
            form.playlist()->append("x");
        dropOnto(form.ListBox1->viewport(), {fileUrl(pathOf("many/"))});
        QCOMPARE(form.playlist()->count(), std::size_t{TForm1::ItemLimit});
        QCOMPARE(fx.dialogs.texts(), QStringList{"Další položky přidávat nelze!"});
    }

    void nonUtf8FolderDropped_data() { tb::test::nonUtf8FolderRows(); }

    void nonUtf8FolderDropped() {
        QFETCH(QByteArray, folder);
        MainWindowFixture fx;
        TForm1& form = fx.show();
        const tb::test::LookAlikeFolders folders;
        const QByteArray path = folders.make(folder);
        form.RadioButton1->setChecked(true);

        // On the directory list, the folder or a file in it takes the list there.
        for (const QByteArray& dropped : {path, path + "/inside.mp3"}) {
            fx.browse(dir_.path());
            QVERIFY(dropOnto(form.DirectoryListBox1->viewport(), {fileUrl(dropped)}));
            QCOMPARE(form.FileListBox1->count(), 1);
            QCOMPARE(form.FileListBox1->fileName(0), QStringLiteral("inside.mp3"));
        }
        // On the playlist, the folder's song and the file itself.
        dropOnto(form.ListBox1->viewport(), {fileUrl(path), fileUrl(path + "/inside.mp3")});
        QCOMPARE(fx.entryBytes(), QList<QByteArray>(2, path + "/inside.mp3"));
    }

private:
    QByteArray pathOf(const char* relative) const {
        return QFile::encodeName(dir_.path()) + '/' + relative;
    }
    QTemporaryDir dir_;
};

QTEST_MAIN(TestDroppedFiles)
#include "test_droppedfiles.moc"
