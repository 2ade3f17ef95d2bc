#include "platform/Fonts.h"

#include <QTest>

class TestFonts : public QObject {
    Q_OBJECT

private slots:
    // Captions are plain unless asked bold, at the pixel size asked.
    void plainUnlessAskedBold() {
        const QFont plain = tb::pixelFont(QStringLiteral("Arial"), 11);
        QVERIFY(!plain.bold());
        QCOMPARE(plain.pixelSize(), 11);
        QVERIFY(tb::pixelFont(QStringLiteral("Arial"), 11, true).bold());
    }
};

QTEST_MAIN(TestFonts)
#include "test_fonts.moc"
