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

    const auto row = [](const char* name, const char* first, const char* second, int order) {
        QTest::newRow(name) << QString::fromUtf8(first) << QString::fromUtf8(second) << order;
    };
    row("č after c", "cibule", "čaj", -1);
    row("ch after h", "hora", "chata", -1);
    row("ch before i", "chata", "i", -1);
    row("capital Ch", "hrad", "Chrudim", -1);
    row("ř after r", "ruka", "řeka", -1);
    row("š after s", "sýr", "šnek", -1);
    row("ž after z", "zub", "žába", -1);
    row("á ties with a", "áb", "ac", -1);
    row("á after a otherwise equal", "ab", "áb", -1);
    row("Á before z", "Ábel.mp3", "zebra.mp3", -1);
    row("case after the letters", "hora", "HORÁK", -1);
    row("lower case before capital", "abel", "Abel", -1);
    row("numbers by value", "Track 2.mp3", "Track 10.mp3", -1);
    row("leading zeros", "Track 2.mp3", "Track 02.mp3", 0);
    row("accent composed or not", "\u00c1bel", "A\u0301bel", 0);
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
