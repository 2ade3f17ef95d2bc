#include "controls/Digits.h"
#include "platform/Paths.h"
#include "support/MainWindowFixture.h"

#include <QDir>
#include <QElapsedTimer>
#include <QPainter>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QtTest>
#include <stdexcept>

namespace {

constexpr int Cell = 14;
constexpr int Height = 20;

// A strip of eleven 14 x 20 cells whose pixels name their cell and row, so that one pixel
// tells which part of which cell is shown.
QColor coded(int cell, int row) {
    return QColor(cell * 20, row * 10, 200);
}

QImage codedStrip() {
    QImage strip(Cell * 11, Height, QImage::Format_RGB32);
    for (int cell = 0; cell < 11; ++cell)
        for (int row = 0; row < Height; ++row)
            for (int x = 0; x < Cell; ++x)
                strip.setPixelColor(cell * Cell + x, row, coded(cell, row));
    return strip;
}

// Two flat halves: left for plus or AM, right for minus or PM.
QImage twoCells(int width, int height, QColor left, QColor right) {
    QImage image(width, height, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.fillRect(0, 0, width / 2, height, left);
    painter.fillRect(width / 2, 0, width - width / 2, height, right);
    return image;
}

// The cell that each position shows at a row, leftmost first; -1 where no cell is.
QList<int> cellsAt(TDigits& digits, int firstX, int cells, int row = 5) {
    const QImage image = digits.grab().toImage();
    QList<int> out;
    for (int i = 0; i < cells; ++i) {
        const QColor pixel = image.pixelColor(firstX + i * Cell + Cell / 2, row);
        out.push_back(pixel.blue() == 200 ? pixel.red() / 20 : -1);
    }
    return out;
}

// The strip row that a pixel of the rightmost counter cell shows, and its cell.
QPair<int, int> shownAt(TDigits& digits, int x, int y) {
    const QColor pixel = digits.grab().toImage().pixelColor(x, y);
    return {pixel.red() / 20, pixel.green() / 10};
}

TDigits& counter(TDigits& digits) {
    digits.setBmpDigits(codedStrip());
    return digits;
}

// Records the roll step of every frame painted until the roll ends.
struct FrameLog : QObject {
    explicit FrameLog(TDigits& watched) : digits(watched) { digits.installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override {
        // grab() paints too; a repeated picture is no new frame.
        if (event->type() == QEvent::Paint &&
            (steps.isEmpty() || steps.last() != digits.RollStep()))
            steps.push_back(digits.RollStep());
        return false;
    }
    TDigits& digits;
    QList<int> steps;
};

double at(int hours, int minutes, int seconds) {
    return tb::digits::dayCount(2024, 3, 9, ((hours * 60 + minutes) * 60 + seconds) * 1000);
}

const QImage& someStrip(int look) {
    static QImage strips[2] = {codedStrip(), codedStrip().mirrored(true, false)};
    return strips[look];
}

void writeSkins(const QString& directory, int look) {
    QDir().mkpath(directory);
    for (int n = 1; n <= 4; ++n)
        QVERIFY(
            someStrip(look).save(QDir(directory).filePath(QStringLiteral("digits%1.bmp").arg(n))));
}

} // namespace

class TestDigits : public QObject {
    Q_OBJECT

private slots:
    void sizesAndBlanks() {
        TDigits digits;
        QCOMPARE(digits.size(), QSize(84, 20));
        QVERIFY(digits.BmpDigits().isNull());
        QImage mainStrip(QStringLiteral(":/digitstrip.bmp"));
        QCOMPARE(mainStrip.size(), QSize(154, 20));
        QVERIFY(mainStrip.colorCount() <= 16);
        digits.setBmpDigits(mainStrip);
        QCOMPARE(digits.size(), QSize(84, 20));

        counter(digits).setValue(0);
        QCOMPARE(cellsAt(digits, 0, 6), QList<int>({10, 10, 10, 10, 10, 0}));
        digits.setValue(105);
        QCOMPARE(cellsAt(digits, 0, 6), QList<int>({10, 10, 10, 1, 0, 5}));
        digits.setValue(1234567);
        QCOMPARE(cellsAt(digits, 0, 6), QList<int>({2, 3, 4, 5, 6, 7}));
        digits.setShowLeadingZeros(true);
        digits.setValue(42);
        QCOMPARE(cellsAt(digits, 0, 6), QList<int>({0, 0, 0, 0, 4, 2}));

        digits.setDigitCount(12);
        QCOMPARE(digits.DigitCount(), 10);
        QCOMPARE(digits.width(), 140);
        digits.setAutoSize(false);
        digits.setDigitCount(3);
        QCOMPARE(digits.width(), 140); // keeps its size, draws from the layout's edge
        QCOMPARE(cellsAt(digits, 0, 4), QList<int>({0, 4, 2, -1}));
        digits.setAutoSize(true);
        QCOMPARE(digits.size(), QSize(42, 20));

        // A click is a press and a release of the left button over the control.
        QSignalSpy clicks(&digits, &TDigits::OnClick);
        QSignalSpy downs(&digits, &TDigits::OnMouseDown);
        QTest::mouseClick(&digits, Qt::LeftButton, {}, QPoint(5, 5));
        QTest::mousePress(&digits, Qt::LeftButton, {}, QPoint(5, 5));
        QTest::mouseRelease(&digits, Qt::LeftButton, {}, QPoint(60, 5));
        QCOMPARE(clicks.size(), 1);
        QCOMPARE(downs.size(), 2);
        QCOMPARE(downs.at(0).at(2).toPoint(), QPoint(5, 5));
    }

    // 999999 -> 0 rolls every cell upward in eight frames, 25 ms apart, the first at once.
    void rollUpwardFrameByFrame() {
        TDigits digits;
        counter(digits).setShowLeadingZeros(true);
        digits.setIncDecSpeed(25);
        digits.setIncDecSteps(8);
        digits.setValue(999999);
        digits.show();
        QVERIFY(QTest::qWaitForWindowExposed(&digits));
        QTest::qWait(20); // past the last direct paint
        QSignalSpy starts(&digits, &TDigits::OnRotateStart);
        QSignalSpy ends(&digits, &TDigits::OnRotateEnd);
        FrameLog log(digits);

        QElapsedTimer clock;
        clock.start();
        digits.Increment();
        QCOMPARE(digits.Value(), 0);
        QCOMPARE(log.steps, QList<int>({7})); // painted before Increment returned
        QCOMPARE(starts.size(), 1);
        QCOMPARE(starts.at(0).at(0).value<TDigits*>(), &digits);
        // First frame: offset 17, the 9 leaving at the top, the 0 rising below, in every cell.
        for (int x = 7; x < 84; x += Cell) {
            QCOMPARE(shownAt(digits, x, 0), qMakePair(9, 3));
            QCOMPARE(shownAt(digits, x, 16), qMakePair(9, 19));
            QCOMPARE(shownAt(digits, x, 17), qMakePair(0, 0));
        }
        QVERIFY(ends.wait(2000));
        QVERIFY(clock.elapsed() >= 190);
        QCOMPARE(log.steps, QList<int>({7, 6, 5, 4, 3, 2, 1, 0}));
        QCOMPARE(cellsAt(digits, 0, 6), QList<int>({0, 0, 0, 0, 0, 0}));
        QCOMPARE(ends.size(), 1);

        // Without leading zeros the left cells roll to the blank; downward rolls descend.
        digits.setShowLeadingZeros(false);
        digits.setIncDecSpeed(1000);
        digits.Decrement();
        QCOMPARE(digits.Value(), 999999);
        QCOMPARE(shownAt(digits, 7, 0), qMakePair(9, 18)); // the 9 enters from the top
        QCOMPARE(shownAt(digits, 7, 2), qMakePair(10, 0)); // over the leaving blank
        QCOMPARE(shownAt(digits, 77, 2), qMakePair(0, 0));
    }

    void signCell() {
        TDigits digits;
        counter(digits).setDigitCount(2);
        digits.setAllowNegative(true); // refused without a sign bitmap
        QVERIFY(!digits.AllowNegative());
        digits.setBmpPosNegSign(twoCells(20, 20, Qt::green, Qt::red));
        digits.setAllowNegative(true);
        QCOMPARE(digits.size(), QSize(38, 20));
        digits.setValue(-5);
        QImage image = digits.grab().toImage();
        QCOMPARE(image.pixelColor(5, 10), QColor(Qt::red));
        QCOMPARE(cellsAt(digits, 10, 2), QList<int>({10, 5}));

        digits.setIncDecSpeed(1000);
        digits.setValue(99);
        digits.Increment();
        QCOMPARE(digits.Value(), -99);
        digits.Decrement();
        QCOMPARE(digits.Value(), 99);
        digits.setValue(-1);
        digits.Increment(); // the sign rolls from minus up to plus
        QCOMPARE(digits.Value(), 0);
        image = digits.grab().toImage();
        QCOMPARE(image.pixelColor(5, 0), QColor(Qt::red));
        QCOMPARE(image.pixelColor(5, 19), QColor(Qt::green));

        // Turning negatives off keeps the value and shows it without its sign.
        digits.setValue(-5);
        digits.setAllowNegative(false);
        QCOMPARE(digits.Value(), -5);
        QCOMPARE(digits.width(), 28);
        digits.setValue(-3);
        QCOMPARE(digits.Value(), 0);
        // Removing the sign bitmap turns negatives off.
        digits.setAllowNegative(true);
        digits.setBmpPosNegSign(std::nullopt);
        QVERIFY(!digits.AllowNegative() && !digits.BmpPosNegSign());
    }

    void timeModeTwelveHours() {
        TDigits digits;
        counter(digits).setMode(TDigitsMode::dmTime);
        digits.setShowLeadingZeros(true);
        digits.setBmpTimeSeparator(QImage(4, 20, QImage::Format_RGB32));
        digits.setBmpAMPMSign(twoCells(24, 20, Qt::yellow, Qt::magenta));
        QCOMPARE(digits.size(), QSize(84 + 8 + 12, 20));
        const auto digitsShown = [&] {
            const QList<int> all = cellsAt(digits, 0, 2);
            return QList<int>({all[0], all[1], cellsAt(digits, 32, 2)[0], cellsAt(digits, 32, 2)[1],
                               cellsAt(digits, 64, 2)[0], cellsAt(digits, 64, 2)[1]});
        };
        digits.setDateTime(at(0, 30, 0));
        QCOMPARE(digitsShown(), QList<int>({1, 2, 3, 0, 0, 0}));
        QCOMPARE(digits.grab().toImage().pixelColor(97, 10), QColor(Qt::yellow));
        digits.setDateTime(at(13, 5, 0));
        QCOMPARE(digitsShown(), QList<int>({0, 1, 0, 5, 0, 0}));
        QCOMPARE(digits.grab().toImage().pixelColor(97, 10), QColor(Qt::magenta));

        digits.setIncDecSpeed(1000);
        digits.setDateTime(at(11, 59, 59));
        digits.Increment(); // AM leaves upward, PM rises
        const QImage image = digits.grab().toImage();
        QCOMPARE(image.pixelColor(97, 0), QColor(Qt::yellow));
        QCOMPARE(image.pixelColor(97, 19), QColor(Qt::magenta));

        digits.setMode(TDigitsMode::dmDate);
        QCOMPARE(digits.size(), QSize(84, 20));
    }

    void bitmapChecks() {
        TDigits digits;
        counter(digits);
        const auto message = [](auto&& assign) {
            try {
                assign();
            } catch (const std::invalid_argument& error) {
                return QString::fromLatin1(error.what());
            }
            return QString();
        };
        const QString digitsMessage = QStringLiteral(
            "BmpDigits requires a bitmap that contains the digits 0 through 9 and an empty "
            "space of equal width");
        QCOMPARE(message([&] { digits.setBmpDigits(QImage(150, 20, QImage::Format_RGB32)); }),
                 digitsMessage);
        QCOMPARE(message([&] { digits.setBmpDigits(QImage()); }), digitsMessage);
        QCOMPARE(message([&] { digits.setBmpPosNegSign(QImage(21, 20, QImage::Format_RGB32)); }),
                 QStringLiteral("BmpPosNegSign requires a bitmap that contains a positive sign "
                                "and a negative sign of equal width"));
        QCOMPARE(message([&] { digits.setBmpPosNegSign(QImage()); }),
                 QStringLiteral("BmpPosNegSign requires a bitmap that contains a positive sign "
                                "and a negative sign of equal width"));
        QCOMPARE(message([&] { digits.setBmpAMPMSign(QImage(21, 20, QImage::Format_RGB32)); }),
                 QStringLiteral("BmpAMPMSign requires a bitmap that contains an AM sign and a "
                                "PM sign of equal width"));
        QCOMPARE(message([&] { digits.setBmpAMPMSign(QImage()); }), QString()); // empty passes
        QCOMPARE(digits.BmpDigits(), codedStrip());
        QVERIFY(digits.BmpPosNegSign()->isNull());
        QCOMPARE(digits.size(), QSize(84, 20));

        // A strip loaded from a file is not checked and does not resize.
        QTemporaryDir dir;
        QVERIFY(!digits.loadBmpDigits(dir.filePath("missing.bmp")));
        QCOMPARE(digits.BmpDigits(), codedStrip());
        const QString file = dir.filePath("wide.bmp");
        QVERIFY(QImage(220, 40, QImage::Format_RGB32).save(file));
        QVERIFY(digits.loadBmpDigits(file));
        QCOMPARE(digits.BmpDigits().size(), QSize(220, 40));
        QCOMPARE(digits.size(), QSize(84, 20));

        // Separators: showing them needs a bitmap, which widens the layout.
        digits.setBmpDigits(codedStrip());
        digits.setShowThousandsSeparator(true);
        QVERIFY(!digits.ShowThousandsSeparator());
        digits.setBmpThousandsSeparator(QImage(4, 20, QImage::Format_RGB32));
        digits.setShowThousandsSeparator(true);
        QCOMPARE(digits.size(), QSize(88, 20));
        digits.setBmpThousandsSeparator(std::nullopt);
        QVERIFY(!digits.ShowThousandsSeparator());
    }

    void stepsAndClock() {
        TDigits digits;
        counter(digits).setIncDecSteps(1);
        digits.setIncDecSpeed(10);
        digits.setValue(7);
        QSignalSpy ends(&digits, &TDigits::OnRotateEnd);
        digits.Increment(); // one step: the final picture at once
        QCOMPARE(digits.RollStep(), 0);
        QCOMPARE(cellsAt(digits, 70, 1), QList<int>({8}));
        QVERIFY(ends.wait(1000));

        digits.setIncDecSpeed(0);
        QCOMPARE(digits.IncDecSpeed(), 1);
        digits.setIncDecSteps(0); // kept as given, rolls as one step
        QCOMPARE(digits.IncDecSteps(), 0);
        digits.Decrement();
        QCOMPARE(digits.RollStep(), 0);
        QCOMPARE(digits.Value(), 7);

        // The clock acts only in time mode.
        digits.setMode(TDigitsMode::dmDate);
        digits.setDateTime(1.0);
        digits.setRunning(true);
        QTest::qWait(250);
        QCOMPARE(digits.DateTime(), 1.0);
        QSignalSpy starts(&digits, &TDigits::OnRotateStart);
        digits.setMode(TDigitsMode::dmTime);
        QVERIFY(starts.wait(1000)); // 1 January 1900 lies behind now: a forward roll
        QVERIFY(digits.DateTime() > 40000.0);
        digits.setRunning(false);
    }

    // Adding many files steps the counter many times in one event: the window is flushed
    // once, the end state comes with the next paint and the roll goes on from there.
    void burstOfStepsPaintsOnce() {
        TDigits digits;
        counter(digits).setIncDecSpeed(25);
        digits.setIncDecSteps(8);
        digits.show();
        QVERIFY(QTest::qWaitForWindowExposed(&digits));
        QTest::qWait(20);
        FrameLog log(digits);
        QSignalSpy ends(&digits, &TDigits::OnRotateEnd);
        for (int i = 0; i < 50'000; ++i)
            digits.Increment();
        QCOMPARE(digits.Value(), 50'000);
        QVERIFY(log.steps.size() < 20);
        QVERIFY(ends.wait(2000));
        QCOMPARE(ends.size(), 1);
        QCOMPARE(log.steps.last(), 0);
        QCOMPARE(cellsAt(digits, 0, 6), QList<int>({10, 5, 0, 0, 0, 0}));
    }

    // The main window's look: the working directory first, then the installed data.
    void mainWindowPicksALook() {
        QTemporaryDir work;
        const QString home = QDir::currentPath();
        const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                             QStringLiteral("/trackbinder");
        writeSkins(data, 1);
        QVERIFY(QDir::setCurrent(work.path()));
        {
            tb::test::MainWindowFixture fx;
            QCOMPARE(fx.show().Digits1->BmpDigits(), someStrip(1));
            QCOMPARE(fx.form->Digits1->size(), QSize(84, 20));
        }
        writeSkins(work.path(), 0);
        {
            tb::test::MainWindowFixture fx;
            QCOMPARE(fx.show().Digits1->BmpDigits(), someStrip(0));
        }
        QDir(data).removeRecursively();
        QDir(work.path()).removeRecursively();
        QDir().mkpath(work.path());
        {
            tb::test::MainWindowFixture fx;
            QCOMPARE(fx.show().Digits1->BmpDigits(), QImage(QStringLiteral(":/digitstrip.bmp")));
        }
        QVERIFY(QDir::setCurrent(home));

        // Beside the program comes before the data folders.
        const QString name = QStringLiteral("test_digits-probe.bmp");
        const QString beside = QDir(QCoreApplication::applicationDirPath()).filePath(name);
        QVERIFY(QDir().mkpath(data));
        QVERIFY(someStrip(0).save(QDir(data).filePath(name)));
        QCOMPARE(tb::findDataFile(name), QDir(data).filePath(name));
        QVERIFY(someStrip(0).save(beside));
        QCOMPARE(tb::findDataFile(name), beside);
        QFile::remove(beside);
        QDir(data).removeRecursively();
        QCOMPARE(tb::findDataFile(name), QString());
    }
};

QTEST_MAIN(TestDigits)
#include "test_digits.moc"
