#include "controls/TransBtn.h"
#include "support/ClosingChecks.h"
#include "support/QtTests.h"
#include "windows/Unit6.h"

#include <QAccessible>
#include <QTextEdit>

class TestUnit6 : public QObject {
    Q_OBJECT

private slots:
    void tipsPageRoundAndClose() {
        TTips tips;
        const QStringList& all = TTips::tips();
        tips.show();
        QVERIFY(tips.windowFlags().testFlag(Qt::FramelessWindowHint));
        QCOMPARE(tips.Memo1->toPlainText(), all.at(tips.tipIndex() - 1));
        QVERIFY(QAccessible::queryAccessibleInterface(tips.Memo1)->state().readOnly); // no field
        while (tips.tipIndex() != 3)
            emit tips.TransparentButton1->OnClick();
        emit tips.TransparentButton1->OnClick(); // past the last: the first
        QCOMPARE(tips.Memo1->toPlainText(), all.at(0));
        emit tips.TransparentButton2->OnClick(); // before the first: the last
        QCOMPARE(tips.Memo1->toPlainText(), all.at(2));
        emit tips.TransparentButton2->OnClick();
        QCOMPARE(tips.Memo1->toPlainText(), all.at(1));
        tb::test::closesEachWay(tips, tips.TransparentButton3);
    }
};

QTEST_MAIN(TestUnit6)
#include "test_unit6.moc"
