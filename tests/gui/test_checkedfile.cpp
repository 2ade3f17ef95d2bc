#include "platform/CheckedFile.h"
#include "platform/IoError.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

// A save that does not reach commit() leaves the earlier file: the temporary file
// beside it goes, and a file rewritten in place stays where it is.

class TestCheckedFile : public QObject {
    Q_OBJECT

private slots:
    void anUnfinishedSaveKeepsTheEarlierFile_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("leftAfter"); // what the file holds afterwards
        QTest::newRow("beside it") << QStringLiteral("list.m3u") << QByteArray("earlier\n");
        // A name so long that no temporary name fits beside it: the file itself is written,
        // and must stay with what reached it.
        QTest::newRow("in place") << QString(250, u'n') + QStringLiteral(".m3u")
                                  << QByteArray("half of the new");
    }

    void anUnfinishedSaveKeepsTheEarlierFile() {
        QFETCH(QString, name);
        QFETCH(QByteArray, leftAfter);
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        tb::test::writeFile(path, "earlier\n");
        {
            tb::CheckedFile save(path, tb::CheckedFile::Mode::Replace);
            save.write("half of the new");
        } // as when the writer throws half-way
        QCOMPARE(tb::test::contents(path), leftAfter);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{name});
    }
};

QTEST_GUILESS_MAIN(TestCheckedFile)
#include "test_checkedfile.moc"
