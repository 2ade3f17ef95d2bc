#include "filetools/CzechOrder.h"

#include <QTest>

namespace {
int sign(int value) {
    return (value > 0) - (value < 0);
}
} // namespace

class TestCzechOrder : public QObject {
    Q_OBJECT

private slots:
    void ordersAsACzechReaderExpects_data();
    void ordersAsACzechReaderExpects();
};

// Each row is a pair that byte order, or a collation of another language, gets wrong.
void TestCzechOrder::ordersAsACzechReaderExpects_data() {
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::addColumn<int>("order"); // -1: first comes before; 0: they sort together

    QTest::newRow("č after c") << "cibule"
                               << "čaj" << -1;
    QTest::newRow("č before d") << "čaj"
                                << "dům" << -1;
    QTest::newRow("ch after h") << "hora"
                                << "chata" << -1;
    QTest::newRow("ch before i") << "chata"
                                 << "i" << -1;
    QTest::newRow("capital Ch") << "hrad"
                                << "Chrudim" << -1;
    QTest::newRow("ř after r") << "ruka"
                               << "řeka" << -1;
    QTest::newRow("ř before s") << "řeka"
                                << "sýr" << -1;
    QTest::newRow("š after s") << "sýr"
                               << "šnek" << -1;
    QTest::newRow("ž after z") << "zub"
                               << "žába" << -1;
    QTest::newRow("á ties with a") << "áb"
                                   << "ac" << -1;
    QTest::newRow("á after a otherwise equal") << "ab"
                                               << "áb" << -1;
    QTest::newRow("Á before z") << "Ábel.mp3"
                                << "zebra.mp3" << -1;
    QTest::newRow("case after letters") << "ahoj"
                                        << "Brno" << -1;
    QTest::newRow("capitals after letters") << "hora"
                                            << "HORÁK" << -1;
    QTest::newRow("numbers by value") << "Track 2.mp3"
                                      << "Track 10.mp3" << -1;
    QTest::newRow("numbers within names") << "CD2 Track 9"
                                          << "CD10 Track 1" << -1;
    QTest::newRow("leading zeros") << "Track 2.mp3"
                                   << "Track 02.mp3" << 0;
    QTest::newRow("accent composed or not") << QString::fromUtf8("\xc3\x81"
                                                                 "bel")
                                            << QString::fromUtf8("A\xcc\x81"
                                                                 "bel")
                                            << 0;
}

// The sort keys the lists use agree with the comparison, both ways round.
void TestCzechOrder::ordersAsACzechReaderExpects() {
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(int, order);
    const tb::CzechOrder czech;
    QCOMPARE(sign(czech.compare(first, second)), order);
    QCOMPARE(sign(czech.compare(second, first)), -order);
    QCOMPARE(czech.less(first, second), order < 0);
    QCOMPARE(sign(czech.sortKey(first).compare(czech.sortKey(second))), order);
}

QTEST_GUILESS_MAIN(TestCzechOrder)
#include "test_czechorder.moc"
