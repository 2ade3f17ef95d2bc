#include "filetools/DirectoryListBox.h"
#include "platform/Paths.h"
#include "support/MainWindowFixture.h"
#include "support/QtTests.h"

#include <QDir>
#include <QScopeGuard>

using tb::test::MainWindowFixture;

class TestPaths : public QObject {
    Q_OBJECT

private slots:
    void firstRunStartsInTheMusicFolderElseHome() {
        QTemporaryDir dir;
        const QByteArray realHome = qgetenv("HOME");
        qputenv("HOME", QFile::encodeName(dir.path()));
        const auto restore = qScopeGuard([&] { qputenv("HOME", realHome); });
        QCOMPARE(tb::firstRunDirectory(), tb::directoryText(dir.path()));
        QVERIFY(QDir(dir.path()).mkdir("Music"));
        QCOMPARE(tb::firstRunDirectory(), tb::directoryText(dir.filePath("Music")));

        MainWindowFixture fx;
        TForm1& form = fx.show();
        QCOMPARE(form.DirectoryListBox1->Directory(), tb::directoryText(dir.filePath("Music")));
    }
};

QTEST_MAIN(TestPaths)
#include "test_paths.moc"
