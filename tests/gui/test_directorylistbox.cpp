#include "filetools/DirectoryListBox.h"
#include "filetools/FileListBox.h"
#include "platform/Paths.h"
#include "platform/Windows1250.h"
#include "support/LookAlikeFolders.h"
#include "support/MainWindowFixture.h"
#include "support/QtTests.h"

#include <QDir>
#include <QRadioButton>
#include <filesystem>

using tb::test::MainWindowFixture;

class TestDirectoryListBox : public QObject {
    Q_OBJECT

private slots:
    void directoryListShowsPathAndMoves() {
        QTemporaryDir tmp;
        const QString top = tb::directoryText(tmp.path());
        const QString nested = tb::directoryText(tmp.path() + "/a/b");
        tb::test::makeFiles(nested, {"Zeta/x", "alpha/deep/x", ".hidden/x", "file.mp3"});
        const QString alpha = QDir::toNativeSeparators(nested + "/alpha");
        const QString root = tb::directoryText(QDir::rootPath());

        TDirectoryListBox list;
        list.setDriveRoots({root, top});
        list.setDirectory(nested);
        QCOMPARE(list.Drive(), top);
        // The path from the root folder by folder, then the subfolders without hidden ones.
        QStringList rows;
        for (int row = 0; row < list.count(); ++row)
            rows << list.item(row)->text();
        QCOMPARE(rows, (QStringList{root} + tmp.path().split('/', Qt::SkipEmptyParts) +
                        QStringList{"a", "b", "alpha", "Zeta"}));
        const int depth = rows.indexOf("b");
        QCOMPARE(list.currentRow(), depth);

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
    void nonUtf8FolderListedEnteredAndAdded_data() { tb::test::nonUtf8FolderRows(); }

    void nonUtf8FolderListedEnteredAndAdded() {
        QFETCH(QByteArray, folder);
        MainWindowFixture fx;
        TForm1& form = fx.show();
        const tb::test::LookAlikeFolders folders;
        const QByteArray path = folders.make(folder);
        const QString shown = tb::fromUtf8OrWindows1250(folder);

        // Both are listed under the same text; each row enters its own folder.
        QStringList reached;
        for (int row = 0; row < 2; ++row) {
            fx.browse(QFile::decodeName(folders.path()));
            const QList<QListWidgetItem*> rows =
                form.DirectoryListBox1->findItems(shown, Qt::MatchExactly);
            QCOMPARE(rows.size(), 2);
            form.DirectoryListBox1->setCurrentItem(rows.at(row));
            QTest::keyClick(form.DirectoryListBox1, Qt::Key_Return);
            QCOMPARE(form.FileListBox1->count(), 1);
            reached.append(form.FileListBox1->fileName(0));
            QCOMPARE(form.DirectoryListBox1->Directory(),
                     QFile::decodeName(folders.path()) + '/' + shown);
        }
        QCOMPARE(QSet<QString>(reached.cbegin(), reached.cend()),
                 (QSet<QString>{"inside.mp3", "decoy.mp3"}));

        // Its song goes in by the folder's bytes, whole or as the last folder alone.
        form.DirectoryListBox1->setDirectoryBytes(path);
        fx.selectFiles({0});
        form.RadioButton1->setChecked(true);
        form.Button1Click();
        form.RadioButton3->setChecked(true);
        form.Button1Click();
        QCOMPARE(fx.entryBytes(),
                 (QList<QByteArray>{path + "/inside.mp3", folder + "/inside.mp3"}));

        // From a folder below it, its row on the path leads back up to it.
        std::filesystem::create_directory((path + "/deeper").toStdString());
        form.DirectoryListBox1->setDirectoryBytes(path + "/deeper");
        QCOMPARE(form.DirectoryListBox1->DirectoryBytes(), path + "/deeper");
        form.DirectoryListBox1->setCurrentItem(
            form.DirectoryListBox1->findItems(shown, Qt::MatchExactly).value(0));
        QTest::keyClick(form.DirectoryListBox1, Qt::Key_Return);
        QCOMPARE(form.DirectoryListBox1->DirectoryBytes(), path);
    }
};

QTEST_MAIN(TestDirectoryListBox)
#include "test_directorylistbox.moc"
