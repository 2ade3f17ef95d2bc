#include "controls/X2000RC.h"
#include "support/QtTests.h"

class TestX2000RC : public QObject {
    Q_OBJECT

private slots:
    void captionRemoverRoundTrip() {
        QWidget window;
        window.resize(200, 100);
        auto* remover = new TRemoveCaption2000X(&window);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        remover->setEnabled(true);
        QVERIFY(window.windowFlags().testFlag(Qt::FramelessWindowHint) && window.isVisible());
        QCOMPARE(window.size(), QSize(200, 100));
        remover->setEnabled(false);
        QVERIFY(!window.windowFlags().testFlag(Qt::FramelessWindowHint));
        // Taken off and left so when the remover goes away with its window.
        remover->setEnabled(true);
        delete remover;
        QVERIFY(window.windowFlags().testFlag(Qt::FramelessWindowHint));
    }
};

QTEST_MAIN(TestX2000RC)
#include "test_x2000rc.moc"
