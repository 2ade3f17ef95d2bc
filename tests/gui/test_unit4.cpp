#include "support/QtTests.h"
#include "windows/Unit4.h"

class TestUnit4 : public QObject {
    Q_OBJECT

private slots:
    void splashHoldsMoreThanThreeSeconds() {
        std::uint32_t now = 0xFFFFF000u; // 4096 ms before the tick count wraps
        TSplash splash;
        splash.setClock([&] { return now; }, [&](std::uint32_t ms) { now += ms; });
        // On top of the others, without a title bar.
        QVERIFY(splash.windowFlags().testFlags(Qt::WindowStaysOnTopHint | Qt::FramelessWindowHint));
        splash.show();
        now += 2000; // a quick start-up: the close sleeps the rest
        QVERIFY(splash.close());
        QCOMPARE(now, 0xFFFFF000u + 3001u);

        // A start-up slower than three seconds closes it at once.
        splash.show();
        const std::uint32_t late = now += 3500;
        QVERIFY(splash.close());
        QCOMPARE(now, late);
    }
};

QTEST_MAIN(TestUnit4)
#include "test_unit4.moc"
