#include "filetools/DirectoryListBox.h"
#include "filetools/DriveBox.h"
#include "filetools/FileListBox.h"
#include "filetools/FilterComboBox.h"
#include "platform/Paths.h"
#include "support/MainWindowFixture.h"

#include <QDir>
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

class TestFileBrowserWidgets : public QObject {
    Q_OBJECT

private slots:
    void fileListShowsMatchingFilesAndUserActs();
    void directoryListShowsPathAndMoves();
    void driveBoxSignalsRealChangesOnly();
    void filterBoxHandsOnMaskString();
};

void TestFileBrowserWidgets::fileListShowsMatchingFilesAndUserActs() {
    QTemporaryDir tmp;
    makeFiles(tmp.path(), {"song.mp3", "B.MP3", "a.Mp3", "c.txt", ".hidden.mp3", "README",
                           "clip.MPEG", "film.mpg", "folder.mp3/x"});
    QCOMPARE(::mkfifo(QFile::encodeName(tmp.filePath("x.mp3")).constData(), 0600), 0);

    // Masks match regardless of case; hidden files, folders and FIFOs stay out.
    TFileListBox list;
    list.setMask(" *.mpg;  *.mpeg ;");
    list.setDirectory(tb::directoryText(tmp.path()));
    QCOMPARE(allNames(list), QStringList({"clip.MPEG", "film.mpg"}));
    list.setMask("*.*");
    QCOMPARE(allNames(list), QStringList({"a.Mp3", "B.MP3", "c.txt", "clip.MPEG", "film.mpg",
                                          "README", "song.mp3"}));
    list.setMask("*.MP3");
    QCOMPARE(allNames(list), QStringList({"a.Mp3", "B.MP3", "song.mp3"}));
    QCOMPARE(list.sizeHintForRow(0), 16);
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));

    // Selected out of order; the names still come in list order.
    for (int row : {2, 0})
        list.selectionModel()->select(list.model()->index(row, 0), QItemSelectionModel::Select);
    QCOMPARE(list.selectedNames(), QStringList({"a.Mp3", "song.mp3"}));
    QVERIFY(list.isSelected(2) && !list.isSelected(1) && !list.isSelected(-1));

    QSignalSpy clicked(&list, &TFileListBox::userClicked);
    QSignalSpy keys(&list, &TFileListBox::keyPressed);
    QSignalSpy activated(&list, &QAbstractItemView::activated);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {},
                      list.visualRect(list.model()->index(1, 0)).center());
    QCOMPARE(clicked.count(), 1);
    QCOMPARE(list.ItemIndex(), 1);
    QCOMPARE(list.selectedNames(), QStringList({"B.MP3"}));
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, {5, list.viewport()->height() - 2});
    QCOMPARE(clicked.count(), 1); // below the last row

    QTest::keyClick(&list, Qt::Key_Down, Qt::ShiftModifier);
    QCOMPARE(clicked.count(), 2);
    QCOMPARE(list.selectedNames(), QStringList({"B.MP3", "song.mp3"}));
    // Ctrl+click moves the anchor that Shift+click extends from.
    const auto click = [&](int row, Qt::KeyboardModifiers mods) {
        QTest::mouseClick(list.viewport(), Qt::LeftButton, mods,
                          list.visualRect(list.model()->index(row, 0)).center());
    };
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
    QCOMPARE(clicked.count(), 0);
    QCOMPARE(activated.count(), 0);
    QCOMPARE(keys.count(), 2);
    QCOMPARE(keys.first().at(0).toInt(), int(Qt::Key_Return));

    list.Update();
    QCOMPARE(list.ItemIndex(), -1);
    QCOMPARE(list.selectedNames(), QStringList());
}

void TestFileBrowserWidgets::directoryListShowsPathAndMoves() {
    QTemporaryDir tmp;
    const QString top = tb::directoryText(tmp.path());
    const QString nested = tb::directoryText(tmp.path() + "/a/b");
    makeFiles(nested, {"Zeta/x", "alpha/deep/x", ".hidden/x", "file.mp3"});
    const QString alpha = QDir::toNativeSeparators(nested + "/alpha");
    const QString root = tb::directoryText(QDir::rootPath());

    TDirectoryListBox list;
    list.setDriveRoots({root, top});
    list.setDirectory(nested);
    QCOMPARE(list.Drive(), top);
    const int depth = tmp.path().count(QLatin1Char('/')) + 2; // the rows above b
    QCOMPARE(list.item(0)->text(), root);
    QStringList lastRows;
    for (int row = depth - 1; row < list.count(); ++row)
        lastRows << list.item(row)->text();
    QCOMPARE(lastRows, QStringList({"a", "b", "alpha", "Zeta"}));
    QCOMPARE(list.currentRow(), depth);
    QCOMPARE(list.sizeHintForRow(0), 16);

    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    QSignalSpy moved(&list, &TDirectoryListBox::directoryChanged);
    list.setCurrentRow(depth + 1);
    QTest::keyClick(&list, Qt::Key_Return);
    QCOMPARE(moved.count(), 1);
    QCOMPARE(moved.last().at(0).toString(), alpha);
    const QPoint parentRow = list.visualItemRect(list.item(depth)).center();
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, parentRow);
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, parentRow);
    QCOMPARE(moved.count(), 2);
    QCOMPARE(list.Directory(), nested);

    list.setDirectory(tmp.path() + "/missing");
    list.setDirectory(nested); // where it is already
    QCOMPARE(moved.count(), 2);
    QCOMPARE(list.Directory(), nested);

    // Each drive remembers where it was left, as long as that still exists.
    list.setDirectory(alpha);
    list.setDrive(root);
    list.setDrive(top);
    QCOMPARE(list.Directory(), alpha);
    list.setDrive(root);
    QVERIFY(QDir(alpha).removeRecursively());
    list.setDrive(top);
    QCOMPARE(list.Directory(), top);
}

void TestFileBrowserWidgets::driveBoxSignalsRealChangesOnly() {
    TDriveBox box;
    QSignalSpy changed(&box, &TDriveBox::driveChanged);
    const tb::Volume system{"/", "root"}, usb{"/media/usb", "USB"};
    box.setVolumes({system, usb});
    QCOMPARE(box.driveRoots(), QStringList({"/", "/media/usb"}));
    QCOMPARE(box.Drive(), QStringLiteral("/"));

    for (const char* root : {"/media/usb", "/media/usb", "/nowhere"})
        box.setDrive(root);
    QCOMPARE(changed.count(), 1);
    box.setCurrentIndex(0); // as the user does
    QCOMPARE(changed.count(), 2);

    box.setDrive("/media/usb");
    box.setVolumes({usb, system}); // a refill keeps the chosen volume, silently
    QCOMPARE(changed.count(), 3);
    QCOMPARE(box.Drive(), QStringLiteral("/media/usb"));
}

void TestFileBrowserWidgets::filterBoxHandsOnMaskString() {
    TFilterComboBox box;
    QSignalSpy masks(&box, &TFilterComboBox::maskChanged);
    box.setFilter("Soubory MP3|*.mp3|Video|*.mpg; *.mpeg|Vše|*.*");
    QCOMPARE(box.itemText(2), QStringLiteral("Vše"));
    QCOMPARE(box.Mask(), QStringLiteral("*.mp3"));
    box.setCurrentIndex(1);
    QCOMPARE(masks.count(), 2);
    QCOMPARE(masks.last().at(0).toString(), QStringLiteral("*.mpg; *.mpeg"));
}

QTEST_MAIN(TestFileBrowserWidgets)
#include "test_filebrowser_widgets.moc"
