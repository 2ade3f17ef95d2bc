#include "controls/URLLabel.h"
#include "support/ClosingChecks.h"
#include "support/Fakes.h"
#include "support/QtTests.h"
#include "windows/Unit2.h"

#include <QPlainTextEdit>

class TestUnit2 : public QObject {
    Q_OBJECT

private slots:
    void aboutBoxContentAndClosing() {
        tb::test::FakeLauncher launcher;
        TAboutBox box(launcher);
        QCOMPARE(box.URLLabel1->URL(), QStringLiteral("mailto:trackbinder@brivola.example"));
        const QString notes = box.Memo1->toPlainText();
        QTest::keyClicks(box.Memo1, "x"); // the notes are for reading only
        QCOMPARE(box.Memo1->toPlainText(), notes);
        tb::test::closesEachWay(box, box.TransparentButton1);
    }
};

QTEST_MAIN(TestUnit2)
#include "test_unit2.moc"
