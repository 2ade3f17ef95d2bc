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
    void init() { QVERIFY(dir_.isValid()); }

    void firstRunStartsInTheMusicFolderElseHome() {
        const QByteArray realHome = qgetenv("HOME");
        qputenv("HOME", QFile::encodeName(dir_.path()));
        const auto restore = qScopeGuard([&] { qputenv("HOME", realHome); });
        QCOMPARE(tb::firstRunDirectory(), tb::directoryText(dir_.path()));
        QVERIFY(QDir(dir_.path()).mkdir("Music"));
        QCOMPARE(tb::firstRunDirectory(), tb::directoryText(dir_.filePath("Music")));

        MainWindowFixture fx;
        TForm1& form = fx.show();
        QCOMPARE(form.DirectoryListBox1->Directory(), tb::directoryText(dir_.filePath("Music")));
    }

private:
    QTemporaryDir dir_;
};

QTEST_MAIN(TestPaths)
#include "test_paths.moc"
