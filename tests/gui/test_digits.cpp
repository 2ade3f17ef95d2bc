#include "controls/AccessibleFactory.h"
#include "controls/Digits.h"
#include "platform/Paths.h"
#include "support/AccessibilityNotices.h"
#include "support/MainWindowFixture.h"
#include "support/QtTests.h"

#include <QAccessibleValueInterface>
#include <QDir>
#include <QScopeGuard>
#include <QStandardPaths>
#include <stdexcept>

namespace {

constexpr int Cell = 14;

// Eleven 14 x 20 cells whose pixels name their cell and row.
QColor coded(int cell, int row) {
    return QColor(cell * 20, row * 10, 200);
}

QImage codedStrip() {
    QImage strip(Cell * 11, 20, QImage::Format_RGB32);
    for (int x = 0; x < strip.width(); ++x)
        for (int row = 0; row < 20; ++row)
            strip.setPixelColor(x, row, coded(x / Cell, row));
    return strip;
}

// The cell that each position shows, leftmost first, -1 where no cell is.
QList<int> cellsAt(TDigits& digits, int firstX, int cells) {
    const QImage image = digits.grab().toImage();
    QList<int> out;
    for (int i = 0, x = firstX; i < cells; x += Cell, ++i) {
        const QColor pixel = image.pixelColor(x + Cell / 2, 5);
        out.push_back(pixel.blue() == 200 ? pixel.red() / 20 : -1);
    }
    return out;
}

QColor colourAt(TDigits& digits, int x, int y) {
    return digits.grab().toImage().pixelColor(x, y);
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

// A shown counter of eight frames 25 ms apart, past its last direct paint.
void showRolling(TDigits& digits) {
    digits.setBmpDigits(codedStrip());
    digits.setIncDecSpeed(25);
    digits.setIncDecSteps(8);
    digits.show();
    QVERIFY(QTest::qWaitForWindowExposed(&digits));
    QTest::qWait(20); // the counter paints at once only 8 ms after its last direct paint
}

// Two looks that differ in every cell.
QImage skin(bool mirrored) {
    return codedStrip().mirrored(mirrored, false);
}

void writeSkins(const QString& directory, bool mirrored) {
    QDir().mkpath(directory);
    for (int n = 1; n <= 4; ++n)
        QVERIFY(skin(mirrored).save(directory + QStringLiteral("/digits%1.bmp").arg(n)));
}

} // namespace

class TestDigits : public QObject {
    Q_OBJECT

private slots:
    void blanksAndLayout() {
        TDigits digits;
        digits.setBmpDigits(codedStrip());
        QCOMPARE(cellsAt(digits, 0, 6), QList<int>({10, 10, 10, 10, 10, 0}));
        digits.setValue(105);
        QCOMPARE(cellsAt(digits, 0, 6), QList<int>({10, 10, 10, 1, 0, 5}));
        digits.setValue(1234567); // the lowest digits that fit
        QCOMPARE(cellsAt(digits, 0, 6), QList<int>({2, 3, 4, 5, 6, 7}));

        digits.setDigitCount(12);
        QCOMPARE(digits.DigitCount(), 10);
        digits.setAutoSize(false);
        digits.setDigitCount(3);
        QCOMPARE(digits.width(), 140); // keeps its size, draws from the layout's edge
        QCOMPARE(cellsAt(digits, 0, 4), QList<int>({5, 6, 7, -1}));
        digits.setAutoSize(true);
        QCOMPARE(digits.size(), QSize(42, 20));

        // A click is a press and a release of the left button over the control.
        QSignalSpy clicks(&digits, &TDigits::OnClick);
        QTest::mouseClick(&digits, Qt::LeftButton, {}, QPoint(5, 5));
        QTest::mousePress(&digits, Qt::LeftButton, {}, QPoint(5, 5));
        QTest::mouseRelease(&digits, Qt::LeftButton, {}, QPoint(60, 5));
        QCOMPARE(clicks.size(), 1);
    }

    // 999999 -> 0 rolls every cell upward in eight frames, 25 ms apart, the first at once.
    void rollUpwardFrameByFrame() {
        TDigits digits;
        digits.setShowLeadingZeros(true);
        digits.setValue(999999);
        showRolling(digits);
        QList<int> starts; // the first frame of each roll
        digits.setOnRotateStart([&](TDigits* sender) { starts.append(sender->RollStep()); });
        QSignalSpy ends(&digits, &TDigits::OnRotateEnd);
        FrameLog log(digits);

        digits.Increment();
        QCOMPARE(log.steps, QList<int>({7})); // painted before Increment returned
        QCOMPARE(starts, QList<int>{7});
        // First frame: offset 17, the 9 leaving at the top, the 0 rising below, in every cell.
        for (int x = 7; x < 84; x += Cell) {
            QCOMPARE(colourAt(digits, x, 0), coded(9, 3));
            QCOMPARE(colourAt(digits, x, 17), coded(0, 0));
        }
        QVERIFY(ends.wait(2000));
        QCOMPARE(log.steps, QList<int>({7, 6, 5, 4, 3, 2, 1, 0}));
        QCOMPARE(cellsAt(digits, 0, 6), QList<int>({0, 0, 0, 0, 0, 0}));

        // Without leading zeros the left cells roll to the blank; downward rolls descend.
        digits.setShowLeadingZeros(false);
        digits.setIncDecSpeed(1000);
        digits.Decrement();
        QCOMPARE(colourAt(digits, 7, 0), coded(9, 18)); // the 9 enters from the top
        QCOMPARE(colourAt(digits, 7, 2), coded(10, 0)); // over the leaving blank
        QCOMPARE(colourAt(digits, 77, 2), coded(0, 0));
        digits.setMode(TDigitsMode::dmTime); // a running clock rolls upward as seconds pass
        digits.setRunning(true);
        QTRY_COMPARE(starts.value(2), 7);
    }

    void bitmapChecks() {
        TDigits digits;
        digits.setBmpDigits(codedStrip());
        // A strip of the wrong shape is refused and the old one stays.
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument,
                                 digits.setBmpDigits(QImage(150, 20, QImage::Format_RGB32)));
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, digits.setBmpDigits(QImage()));
        QCOMPARE(digits.BmpDigits(), codedStrip());

        // A strip loaded from a file is not checked and does not resize.
        QTemporaryDir dir;
        QVERIFY(!digits.loadBmpDigits(dir.filePath("missing.bmp")));
        QCOMPARE(digits.BmpDigits(), codedStrip());
        const QString file = dir.filePath("wide.bmp");
        QVERIFY(QImage(220, 40, QImage::Format_RGB32).save(file) && digits.loadBmpDigits(file));
        QCOMPARE(digits.size(), QSize(84, 20));
        digits.setMode(TDigitsMode::dmTime); // a clock's wider separators widen it
        const int narrow = digits.width();
        digits.setBmpTimeSeparator(QImage(30, 20, QImage::Format_RGB32));
        const int wide = digits.width();
        QVERIFY(wide > narrow);
        digits.setBmpAMPMSign(QImage(40, 20, QImage::Format_RGB32)); // and its AM/PM cell
        QVERIFY(digits.width() > wide);
        digits.show(); // a shown clock at once paints its separators gone
        QVERIFY(QTest::qWaitForWindowExposed(&digits));
        tb::test::EventCount paints(&digits, QEvent::Paint);
        digits.setBmpTimeSeparator(std::nullopt);
        QTRY_VERIFY(paints.count > 0);

        // Negatives and separators need their bitmaps, a sign one of even width; taking a
        // bitmap away switches its cells off.
        digits.setAllowNegative(true);
        digits.setShowThousandsSeparator(true);
        digits.setValue(-5);
        QVERIFY(!digits.AllowNegative() && !digits.ShowThousandsSeparator() && digits.Value() == 0);
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument,
                                 digits.setBmpPosNegSign(QImage(3, 20, QImage::Format_RGB32)));
        digits.setBmpPosNegSign(QImage(4, 20, QImage::Format_RGB32));
        digits.setBmpThousandsSeparator(QImage(2, 20, QImage::Format_RGB32));
        digits.setAllowNegative(true);
        digits.setShowThousandsSeparator(true);
        QVERIFY(digits.AllowNegative() && digits.ShowThousandsSeparator());
        digits.setBmpPosNegSign(std::nullopt);
        digits.setBmpThousandsSeparator(std::nullopt);
        QVERIFY(!digits.AllowNegative() && !digits.ShowThousandsSeparator());
    }

    void stepsAndSpeed() {
        TDigits digits;
        digits.setBmpDigits(codedStrip());
        digits.Increment();
        QCOMPARE(digits.RollStep(), 3); // four frames unless told otherwise
        digits.setIncDecSpeed(0);
        QCOMPARE(digits.IncDecSpeed(), 1);
        digits.setIncDecSteps(0); // rolls as one step: the final picture at once
        digits.setValue(7);
        QSignalSpy ends(&digits, &TDigits::OnRotateEnd);
        digits.Increment();
        QCOMPARE(cellsAt(digits, 70, 1), QList<int>({8}));
        QVERIFY(ends.wait(1000));
    }

    // A roll whose start handler throws shows its final picture at once; the timer ends it.
    void failingStartHandlerEndsTheRoll() {
        TDigits digits;
        digits.setValue(41);
        showRolling(digits);
        QSignalSpy ends(&digits, &TDigits::OnRotateEnd);
        digits.setOnRotateStart([](TDigits*) { throw std::runtime_error("handler failed"); });
        digits.Increment();
        QCOMPARE(digits.RollStep(), 0);
        QCOMPARE(cellsAt(digits, 0, 6), QList<int>({10, 10, 10, 10, 4, 2}));
        QVERIFY(ends.wait(1000));
    }

    // Adding many files steps the counter many times in one event: few paints, one roll.
    void burstOfStepsPaintsOnce() {
        TDigits digits;
        showRolling(digits);
        FrameLog log(digits);
        QSignalSpy ends(&digits, &TDigits::OnRotateEnd);
        for (int i = 0; i < 50'000; ++i)
            digits.Increment();
        QVERIFY(log.steps.size() < 20 && ends.wait(2000));
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
        const auto shownLook = [] {
            tb::test::MainWindowFixture fx;
            return fx.show().Digits1->BmpDigits();
        };
        const auto restore = qScopeGuard([&] {
            QDir::setCurrent(home);
            QDir(data).removeRecursively();
        });
        writeSkins(data, true);
        QVERIFY(QDir::setCurrent(work.path()));
        QCOMPARE(shownLook(), skin(true));
        writeSkins(work.path(), false);
        QCOMPARE(shownLook(), skin(false));
        QDir(data).removeRecursively();
        QDir(work.path()).removeRecursively();
        QDir().mkpath(work.path());
        QCOMPARE(shownLook(), QImage(QStringLiteral(":/digitstrip.bmp")));

        // Beside the program comes before the data folders.
        const QString name = QStringLiteral("test_digits-probe.bmp");
        const QString beside = QDir(QCoreApplication::applicationDirPath()).filePath(name);
        QVERIFY(QDir().mkpath(data) && skin(false).save(QDir(data).filePath(name)));
        const auto removeBeside = qScopeGuard([&] { QFile::remove(beside); });
        QVERIFY(skin(false).save(beside));
        QCOMPARE(tb::findDataFile(name), beside);
    }

    void readsItsShownValueAndAnnouncesEachChangeOnce() {
        installAccessibleFactory();
        QWidget window;
        auto* digits = new TDigits(&window);
        digits->setBmpDigits(QImage(QStringLiteral(":/digitstrip.bmp")));
        digits->setShowLeadingZeros(true);
        digits->setIncDecSpeed(5);
        digits->setToolTip("Počet položek PlayListu");
        window.show();
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(digits);
        QCOMPARE(iface->role(), QAccessible::StaticText);
        QCOMPARE(iface->text(QAccessible::Name), QStringLiteral("Počet položek PlayListu"));
        QAccessibleValueInterface* value = iface->valueInterface();
        QVERIFY(value);

        // What the cells show (DigitsMath.ShownCounter), without the leading zeros.
        digits->setValue(105);
        QCOMPARE(iface->text(QAccessible::Value), QStringLiteral("105"));
        QCOMPARE(value->currentValue().toInt(), 105);

        // Three steps in one event are one notice; the frames and an unchanged value none.
        tb::test::NoticeRecorder notices;
        digits->setValue(0);
        for (int i = 0; i < 3; ++i)
            digits->Increment();
        QCOMPARE(notices.count(QAccessible::ValueChanged, digits), 0);
        QTRY_COMPARE(notices.of(QAccessible::ValueChanged, digits), QVariantList{3});
        QTRY_COMPARE(digits->RollStep(), 0);
        digits->setValue(3);
        QCoreApplication::sendPostedEvents(); // a queued notice would be out now
        QCOMPARE(notices.count(QAccessible::ValueChanged, digits), 1);
        digits->Decrement();
        QTRY_COMPARE(notices.of(QAccessible::ValueChanged, digits), (QVariantList{3, 2}));

        digits->setMode(TDigitsMode::dmDate); // read in the locale's order: in C day first
        digits->setDateTime(tb::digits::dayCount(2024, 3, 9, 0));
        QCOMPARE(iface->text(QAccessible::Value), QStringLiteral("09.03.24"));
        digits->Increment(); // a day on
        QCOMPARE(iface->text(QAccessible::Value), QStringLiteral("10.03.24"));
        QCOMPARE(value->maximumValue().toInt(), 999999); // the bounds are those of the cells
        digits->setMode(TDigitsMode::dmCounter); // negatives reach as far below zero as above
        digits->setBmpPosNegSign(QImage(4, 20, QImage::Format_RGB32));
        digits->setAllowNegative(true);
        QCOMPARE(value->minimumValue().toInt(), -999999);
        digits->setMode(TDigitsMode::dmTime); // a clock, in twelve hours where it has AM and PM
        QCOMPARE(value->minimumValue().toInt(), 0);
        digits->setDateTime(tb::digits::dayCount(2024, 3, 9, 12 * 3'600'000));
        QCOMPARE(iface->text(QAccessible::Value), QStringLiteral("12:00:00"));
        digits->setBmpAMPMSign(QImage(4, 20, QImage::Format_RGB32));
        QCOMPARE(iface->text(QAccessible::Value), QStringLiteral("12:00:00 PM"));
    }
};

QTEST_MAIN(TestDigits)
#include "test_digits.moc"
