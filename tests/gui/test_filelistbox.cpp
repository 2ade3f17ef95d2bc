#include "filetools/CzechOrder.h"
#include "filetools/FileListBox.h"
#include "platform/Paths.h"
#include "support/MainWindowFixture.h"
#include "support/QtTests.h"
#include "support/WidgetPixels.h"

#include <QFile>
#include <algorithm>
#include <sys/stat.h>
#include <unistd.h>

using tb::test::makeFiles;

using tb::test::clickRow;

namespace {
QStringList allNames(const TFileListBox& list) {
    QStringList names;
    for (int row = 0; row < list.count(); ++row)
        names.append(list.fileName(row));
    return names;
}
} // namespace

class TestFileListBox : public QObject {
    Q_OBJECT

private slots:
    // Songs, other files and what a file list never shows, new for each test.
    void init() {
        tmp_.emplace();
        makeFiles(tmp_->path(), {"song.mp3", "B.MP3", "a.Mp3", "c.txt", ".hidden.mp3", "notmp3",
                                 "clip.MPEG", "film.mpg", "folder.mp3/x"});
        QCOMPARE(::mkfifo(QFile::encodeName(tmp_->filePath("x.mp3")).constData(), 0600), 0);
        for (const auto& [link, target] : {std::pair{"zlink.mp3", "song.mp3"},
                                           {"folderlink.mp3", "folder.mp3"},
                                           {"gone.mp3", "no"}})
            QVERIFY(QFile::link(target, tmp_->filePath(link)));
    }

    // Hidden files, folders, FIFOs, links to anything but a file and a name without the
    // mask's dot stay out; a new mask re-reads the shown directory.
    void fileListShowsMatchingFilesAndUserActs() {
        TFileListBox list;
        list.setMask("*.MP3");
        list.setDirectory(folder());
        QCOMPARE(allNames(list), QStringList({"a.Mp3", "B.MP3", "song.mp3", "zlink.mp3"}));
        list.setMask("*.*");
        QCOMPARE(allNames(list), QStringList({"a.Mp3", "B.MP3", "c.txt", "clip.MPEG", "film.mpg",
                                              "notmp3", "song.mp3", "zlink.mp3"}));
        list.setMask("*.mp?");
        QCOMPARE(allNames(list),
                 QStringList({"a.Mp3", "B.MP3", "film.mpg", "song.mp3", "zlink.mp3"}));
        list.setMask("*.MP3");
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));

        // Selected out of order; the names still come in list order.
        for (int row : {2, 0})
            list.selectionModel()->select(list.model()->index(row, 0), QItemSelectionModel::Select);
        QCOMPARE(list.selectedNames(), QStringList({"a.Mp3", "song.mp3"}));

        QSignalSpy clicked(&list, &TFileListBox::userClicked);
        QSignalSpy keys(&list, &TFileListBox::keyPressed);
        QSignalSpy activated(&list, &QAbstractItemView::activated);
        clickRow(list, 1);
        QCOMPARE(clicked.count(), 1);
        QVERIFY(list.ItemIndex() == 1 && list.selectedNames() == QStringList({"B.MP3"}));
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, {5, list.viewport()->height() - 2});
        QCOMPARE(clicked.count(), 1); // below the last row

        QTest::keyClick(&list, Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(clicked.count(), 2);
        QCOMPARE(list.selectedNames(), QStringList({"B.MP3", "song.mp3"}));
        // Ctrl+click moves the anchor that Shift+click extends from.
        clickRow(list, 0);
        clickRow(list, 1, Qt::ControlModifier);
        clickRow(list, 2, Qt::ShiftModifier);
        QCOMPARE(list.selectedNames(), QStringList({"B.MP3", "song.mp3"}));
        clickRow(list, 0, Qt::ShiftModifier);
        QCOMPARE(list.selectedNames(), QStringList({"a.Mp3", "B.MP3"}));
        clicked.clear();
        keys.clear();
        QTest::keyClick(&list, Qt::Key_Return);
        QTest::keyClick(&list, Qt::Key_F5);
        QVERIFY(clicked.isEmpty() && activated.isEmpty());
        QCOMPARE(keys.count(), 2);
        QCOMPARE(keys.first().at(0).toInt(), int(Qt::Key_Return));
        QSignalSpy doubleClicked(&list, &TFileListBox::userDoubleClicked);
        const QPoint row0 = list.visualRect(list.model()->index(0, 0)).center();
        QCOMPARE(list.visualRect(list.model()->index(1, 0)).center().y() - row0.y(), 16);
        QTest::mouseDClick(list.viewport(), Qt::RightButton, {}, row0);
        QVERIFY(doubleClicked.isEmpty());
        QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, row0);
        QCOMPARE(doubleClicked.count(), 1);
        // Pressed on a name and moved away with the button held: a drag of the names.
        QSignalSpy dragEnded(&list, &TFileListBox::dragEnded);
        QTest::mousePress(list.viewport(), Qt::LeftButton, {}, row0);
        for (const QPoint at : {row0 + QPoint(0, 5), row0 + QPoint(0, 40)})
            tb::test::mouse(list.viewport(), QEvent::MouseMove, at);
        QCOMPARE(dragEnded.count(), 1);

        list.Update();
        QVERIFY(list.ItemIndex() == -1 && list.selectedNames().isEmpty()); // a new listing
    }

    // A large folder is read on another thread, in parts that are then merged: meanwhile
    // the list shows nothing of the folder before, and a reading no longer wanted never
    // shows; then one order (names it holds equal, "2" and "02", by their bytes), every
    // name once, and a dropped folder adds its files in that order.
    void largeFolderKeepsTheOrder() {
        QTemporaryDir dir;
        QStringList names;
        const QStringList words = {"čaj", "Chata", "hora", "cibule", "Ábel"};
        for (int i = 0; i < 8001; ++i) // more than 128 KiB of folder: read by two threads
            names.append(QStringLiteral("%1 %2.mp3").arg(words[i % words.size()]).arg(i));
        names << QStringLiteral("Track 2.mp3") << QStringLiteral("Track 02.mp3");
        // Links to one file: quicker to make than as many files.
        makeFiles(dir.path(), {names.first()});
        const QByteArray first = QFile::encodeName(dir.filePath(names.first()));
        for (const QString& name : names.mid(1))
            QCOMPARE(::link(first.constData(), QFile::encodeName(dir.filePath(name)).constData()),
                     0);
        TFileListBox list;
        list.setMask("*.MP3");
        list.setDirectory(folder());
        QSignalSpy listed(&list, &TFileListBox::listed);
        list.setDirectory(dir.path());
        list.setDirectory(dir.path());
        QVERIFY(list.isListing());
        QCOMPARE(list.count(), 0);
        QVERIFY(listed.wait());
        QCOMPARE(listed.count(), 1);

        const tb::CzechOrder czech;
        std::sort(names.begin(), names.end(), [&](const QString& a, const QString& b) {
            const int order = czech.compare(a, b);
            return order < 0 || (order == 0 && a.toUtf8() < b.toUtf8());
        });
        QCOMPARE(allNames(list), names);
        QList<QByteArray> bytes;
        for (int row = 0; row < list.count(); ++row)
            bytes.append(list.fileNameBytes(row));
        QVERIFY(list.fileNameBytes(list.count()).isNull()); // no row past the last
        QCOMPARE(TFileListBox::listedNames(QFile::encodeName(dir.path()), "*.MP3"), bytes);
        TFileListBox closedWhileReading;
        closedWhileReading.setDirectory(dir.path());
    }

private:
    QString folder() const { return tb::directoryText(tmp_->path()); }
    std::optional<QTemporaryDir> tmp_;
};

QTEST_MAIN(TestFileListBox)
#include "test_filelistbox.moc"
