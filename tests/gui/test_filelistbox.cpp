#include "filetools/FileListBox.h"
#include "platform/Paths.h"
#include "support/MainWindowFixture.h"

#include <QFile>
#include <QSignalSpy>
#include <QTest>
#include <sys/stat.h>

using tb::test::makeFiles;

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
        makeFiles(tmp_->path(), {"song.mp3", "B.MP3", "a.Mp3", "c.txt", ".hidden.mp3", "README",
                                 "clip.MPEG", "film.mpg", "folder.mp3/x"});
        QCOMPARE(::mkfifo(QFile::encodeName(tmp_->filePath("x.mp3")).constData(), 0600), 0);
    }
    void masksMatchRegardlessOfCase_data();
    void masksMatchRegardlessOfCase();
    void fileListShowsMatchingFilesAndUserActs();

private:
    QString folder() const { return tb::directoryText(tmp_->path()); }
    std::optional<QTemporaryDir> tmp_;
};

// Hidden files, folders and FIFOs stay out.
void TestFileListBox::masksMatchRegardlessOfCase_data() {
    QTest::addColumn<QString>("mask");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("two masks, blanks around")
        << " *.mpg;  *.mpeg ;" << QStringList({"clip.MPEG", "film.mpg"});
    QTest::newRow("every file") << "*.*"
                                << QStringList({"a.Mp3", "B.MP3", "c.txt", "clip.MPEG", "film.mpg",
                                                "README", "song.mp3"});
}

// A new mask re-reads the shown directory.
void TestFileListBox::masksMatchRegardlessOfCase() {
    QFETCH(QString, mask);
    QFETCH(QStringList, names);
    TFileListBox list;
    list.setDirectory(folder());
    list.setMask(mask);
    QCOMPARE(allNames(list), names);
}

void TestFileListBox::fileListShowsMatchingFilesAndUserActs() {
    TFileListBox list;
    list.setMask("*.MP3");
    list.setDirectory(folder());
    QCOMPARE(allNames(list), QStringList({"a.Mp3", "B.MP3", "song.mp3"}));
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));

    // Selected out of order; the names still come in list order.
    for (int row : {2, 0})
        list.selectionModel()->select(list.model()->index(row, 0), QItemSelectionModel::Select);
    QCOMPARE(list.selectedNames(), QStringList({"a.Mp3", "song.mp3"}));

    QSignalSpy clicked(&list, &TFileListBox::userClicked);
    QSignalSpy keys(&list, &TFileListBox::keyPressed);
    QSignalSpy activated(&list, &QAbstractItemView::activated);
    const auto click = [&](int row, Qt::KeyboardModifiers mods) {
        QTest::mouseClick(list.viewport(), Qt::LeftButton, mods,
                          list.visualRect(list.model()->index(row, 0)).center());
    };
    click(1, {});
    QCOMPARE(clicked.count(), 1);
    QCOMPARE(list.ItemIndex(), 1);
    QCOMPARE(list.selectedNames(), QStringList({"B.MP3"}));
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, {5, list.viewport()->height() - 2});
    QCOMPARE(clicked.count(), 1); // below the last row

    QTest::keyClick(&list, Qt::Key_Down, Qt::ShiftModifier);
    QCOMPARE(clicked.count(), 2);
    QCOMPARE(list.selectedNames(), QStringList({"B.MP3", "song.mp3"}));
    // Ctrl+click moves the anchor that Shift+click extends from.
    click(0, {});
    click(1, Qt::ControlModifier);
    click(2, Qt::ShiftModifier);
    QCOMPARE(list.selectedNames(), QStringList({"B.MP3", "song.mp3"}));
    click(0, Qt::ShiftModifier);
    QCOMPARE(list.selectedNames(), QStringList({"a.Mp3", "B.MP3"}));
    clicked.clear();
    keys.clear();
    QTest::keyClick(&list, Qt::Key_Return);
    QTest::keyClick(&list, Qt::Key_F5);
    QVERIFY(clicked.isEmpty() && activated.isEmpty());
    QCOMPARE(keys.count(), 2);
    QCOMPARE(keys.first().at(0).toInt(), int(Qt::Key_Return));

    list.Update();
    QCOMPARE(list.ItemIndex(), -1);
    QCOMPARE(list.selectedNames(), QStringList());
}

QTEST_MAIN(TestFileListBox)
#include "test_filelistbox.moc"
