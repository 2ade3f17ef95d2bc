#include "controls/Digits.h"

#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>
#include <stdexcept>

namespace {

// A strip whose eleven 10x10 cells are each a distinct flat colour, so a pixel names its cell.
QColor cellColor(int cell) {
    return QColor(20 * cell, 255 - 20 * cell, 100);
}

QImage colouredStrip() {
    QImage strip(110, 10, QImage::Format_RGB32);
    QPainter painter(&strip);
    for (int cell = 0; cell < 11; ++cell)
        painter.fillRect(cell * 10, 0, 10, 10, cellColor(cell));
    return strip;
}

QColor pixelAt(QWidget& widget, int x) {
    return widget.grab().toImage().pixelColor(x, 5);
}

} // namespace

class TestControls : public QObject {
    Q_OBJECT

private slots:
    void digits() {
        TDigits digits;
        QCOMPARE(digits.size(), QSize(84, 20));
        digits.setValue(-5);
        QCOMPARE(digits.Value(), 0);
        digits.Decrement(); // wraps both ways
        QCOMPARE(digits.Value(), 999999);
        digits.Increment();
        QCOMPARE(digits.Value(), 0);

        // A strip that is not eleven cells wide is refused and changes nothing.
        const QImage builtIn = digits.BmpDigits();
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument,
                                 digits.setBmpDigits(QImage(150, 10, QImage::Format_RGB32)));
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, digits.setBmpDigits(QImage()));
        QCOMPARE(digits.BmpDigits(), builtIn);
        QCOMPARE(digits.size(), QSize(84, 20));

        digits.setBmpDigits(colouredStrip());
        QCOMPARE(digits.size(), QSize(60, 10));
        digits.setValue(1000123); // wider than the six cells: the lowest six digits show
        QCOMPARE(pixelAt(digits, 5), cellColor(0));
        QCOMPARE(pixelAt(digits, 35), cellColor(1));
        QCOMPARE(pixelAt(digits, 55), cellColor(3));
        digits.setValue(42);
        QCOMPARE(pixelAt(digits, 5), cellColor(10)); // blank, not a leading zero
        digits.setShowLeadingZeros(true);
        QCOMPARE(pixelAt(digits, 5), cellColor(0));

        QTemporaryDir dir;
        QVERIFY(!digits.loadBmpDigits(dir.filePath("missing.png")));
        QCOMPARE(digits.BmpDigits(), colouredStrip());
        const QString file = dir.filePath("wide.png");
        QVERIFY(QImage(220, 20, QImage::Format_RGB32).save(file));
        QVERIFY(digits.loadBmpDigits(file));
        QCOMPARE(digits.BmpDigits().size(), QSize(220, 20));
        QCOMPARE(digits.size(), QSize(60, 10)); // a loaded strip does not resize
    }
};

QTEST_MAIN(TestControls)
#include "test_controls.moc"
