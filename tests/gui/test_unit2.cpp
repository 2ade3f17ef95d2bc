#include "controls/URLLabel.h"
#include "support/ClosingChecks.h"
#include "support/Fakes.h"
#include "windows/Unit2.h"

#include <QLabel>
#include <QTest>

using tb::test::closesEachWay;

class TestUnit2 : public QObject {
    Q_OBJECT

private slots:
    void aboutBoxContentAndClosing();
};

void TestUnit2::aboutBoxContentAndClosing() {
    tb::test::FakeLauncher launcher;
    TAboutBox box(launcher);
    QCOMPARE(box.Version->text(), QStringLiteral("Verze 1.55"));
    QCOMPARE(box.URLLabel1->URL(), QStringLiteral("mailto:trackbinder@brivola.example"));
    QVERIFY(!box.ProgramIcon->pixmap().isNull());
    closesEachWay(box, box.TransparentButton1);
}

QTEST_MAIN(TestUnit2)
#include "test_unit2.moc"
