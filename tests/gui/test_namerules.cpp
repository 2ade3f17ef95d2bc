#include "platform/NameRules.h"
#include "support/QtTests.h"

#include <QFile>
#include <QTemporaryDir>

class TestNameRules : public QObject {
    Q_OBJECT

private slots:
    // Only the text after the last separator counts, in the bytes the file system takes.
    // A backslash separates names on Windows alone: elsewhere it is a byte of the name.
    void nameBytesCountTheLastName() {
        QCOMPARE(tb::nameBytes(QStringLiteral("/hudba/P\u00edse\u0148.mp3")), 11); // Píseň.mp3
#ifdef Q_OS_WIN
        QCOMPARE(tb::nameBytes(QStringLiteral("C:\\hudba\\AC\\DC.mp3")), 6);
#else
        QCOMPARE(tb::nameBytes(QStringLiteral("/hudba/AC\\DC.mp3")), 9);
#endif
    }

    void folders() {
        QTemporaryDir here;
        QVERIFY(!tb::hasWindowsNameRules(QFile::encodeName(here.path())));
        QVERIFY(!tb::hasWindowsNameRules("/no/such/folder"));
    }
};

QTEST_MAIN(TestNameRules)
#include "test_namerules.moc"
