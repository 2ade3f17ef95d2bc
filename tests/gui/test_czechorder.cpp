#include "filetools/CollatedOrder.h"
#include "filetools/CzechOrder.h"
#include "platform/Collation.h"
#include "platform/FileNames.h"
#include "platform/Windows1250.h"
#include "support/QtTests.h"

#include <algorithm>
#include <random>

class TestCzechOrder : public QObject {
    Q_OBJECT

private slots:
    // Each row is a pair that byte order, or a collation of another language, gets wrong.
    void ordersAsACzechReaderExpects_data() {
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
        row("ž after z", "zub", "žába", -1);
        row("á ties with a", "áb", "ac", -1);
        row("á after a otherwise equal", "ab", "áb", -1);
        row("case after the letters", "hora", "HORÁK", -1);
        row("lower case before capital", "abel", "Abel", -1);
        row("numbers by value", "Track 2.mp3", "Track 10.mp3", -1);
        row("leading zeros", "Track 2.mp3", "Track 02.mp3", 0);
        row("accent composed or not", "\u00c1bel", "A\u0301bel", 0);
    }

    // The sort keys the lists and the playlist use agree with the comparison.
    void ordersAsACzechReaderExpects() {
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(int, order);
        const tb::CzechOrder czech;
        QCOMPARE(std::clamp(czech.compare(first, second), -1, 1), order);
        tb::CzechCollation collation;
        std::string firstKey, secondKey;
        collation.appendKey(first.toStdU16String(), firstKey);
        collation.appendKey(second.toStdU16String(), secondKey);
        QCOMPARE(std::clamp(firstKey.compare(secondKey), -1, 1), order);
    }

    // The collator's ranks pass the checks the faster keys rest on, so that ASCII names
    // take them here.
    void asciiNamesTakeTheFasterKeys() { QVERIFY(tb::CzechCollation().asciiCollation().usable); }

    // A hundred thousand names made of pieces that are alike far into their keys, in UTF-8 and
    // Windows-1250, are sorted in the comparison's order, names it holds equal by their bytes.
    // Names of ASCII alone take keys of their own, which must give the same order.
    void manyNamesSortAsTheyCompare_data() {
        QTest::addColumn<QByteArray>("pieces");
        // \xe8 and \xff alone: Windows-1250 for "č" and "˙".
        QTest::newRow("any") << QByteArray(
            "Track |track|\u010Daj|aj\xe8|chata|Chrudim|CH|hora|\u00C1bel|A\u0301bel|\u0159|"
            "\u017E|0|02|2|10|007|99999999999999999999| |-|_|\t|.mp3|\xff|\u03A9|\u00DF|"
            "\uFB01|Z|a");
        QByteArray ascii("Track |chata|cH|CH|02|007|10|99999999999999999999|.mp3");
        for (char c = ' '; c <= '~'; ++c)
            if (c != '|')
                ascii += '|' + QByteArray(1, c);
        QTest::newRow("ASCII") << ascii;
    }
    void manyNamesSortAsTheyCompare() {
        QFETCH(QByteArray, pieces);
        const QList<QByteArray> piece = pieces.split('|');
        std::mt19937 random(40);
        std::vector<QByteArray> bytes(100'000);
        std::vector<QString> shown;
        for (QByteArray& name : bytes) {
            for (auto count = 1 + random() % 8; count > 0; --count)
                name += piece[random() % piece.size()];
            shown.push_back(tb::withVisibleControls(tb::fromUtf8OrWindows1250(name)));
        }
        tb::CollatedOrderRun run;
        run.threads = 2;
        run.tieLess = [&](std::uint32_t a, std::uint32_t b) {
            return bytes[a] < bytes[b];
        };
        const std::vector<std::uint32_t> order = tb::collatedOrder(
            bytes.size(),
            [&](std::size_t i, std::u16string& text, std::u16string&) {
                text = shown[i].toStdU16String();
            },
            run);
        QCOMPARE(order.size(), bytes.size());
        const tb::CzechOrder czech;
        for (std::size_t i = 1; i < order.size(); ++i) {
            const std::uint32_t a = order[i - 1];
            const std::uint32_t b = order[i];
            const int compared = czech.compare(shown[a], shown[b]);
            if (compared > 0 || (compared == 0 && bytes[a] > bytes[b]))
                QFAIL(qPrintable(shown[a] + QStringLiteral(" before ") + shown[b]));
        }
    }
};

QTEST_GUILESS_MAIN(TestCzechOrder)
#include "test_czechorder.moc"
