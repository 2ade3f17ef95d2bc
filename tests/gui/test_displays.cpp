#include "controls/Lcd99.h"
#include "controls/Progress.h"
#include "support/MainWindowFixture.h"

#include <QCoreApplication>
#include <QPainter>
#include <QTimerEvent>
#include <QtTest>

using tb::lcd::Geometry;

namespace {

const QColor kLime(0x00, 0xFF, 0x00);

Geometry geometryOf(const TLCD99& lcd) {
    return Geometry(lcd.width(), lcd.height(), lcd.DigitNum(), lcd.DigitSpacing(), lcd.GapX(),
                    lcd.GapY(), lcd.SegmentSize());
}

QPoint centre(const tb::lcd::Rect& r) {
    return QPoint((r.left + r.right - 1) / 2, (r.top + r.bottom - 1) / 2);
}

// The segments lit in OnColor in one cell of the picture, as digits "1".."8".
QString litSegments(const QImage& image, const TLCD99& lcd, int cell) {
    const Geometry geometry = geometryOf(lcd);
    QString lit;
    for (int segment = 1; segment <= 8; ++segment) {
        QPoint probe;
        if (segment == 8) {
            probe = centre(geometry.colon(cell)[0]);
        } else {
            int x = 0, y = 0;
            for (const auto& corner : geometry.segment(cell, segment)) {
                x += corner.x;
                y += corner.y;
            }
            probe = QPoint(x / 6, y / 6);
        }
        if (image.pixelColor(probe) == lcd.OnColor())
            lit += QChar('0' + segment);
    }
    return lit;
}

// What the display shows, read back from its pixels: each cell's character (the first one
// in table order with that look), preceded by "." when its decimal point is lit.
QString shown(const TLCD99& lcd, const QImage& image) {
    const Geometry geometry = geometryOf(lcd);
    const QString table = QStringLiteral(" 0123456789-:ABCDEFGHIJKLMNOPQRSTUVWXYZ");
    QString text;
    for (int cell = 1; cell <= lcd.DigitNum(); ++cell) {
        if (image.pixelColor(centre(geometry.decimalPoint(cell))) == lcd.OnColor())
            text += '.';
        const QString lit = litSegments(image, lcd, cell);
        QChar match = '?';
        for (QChar c : table) {
            QString look;
            for (int segment = 1; segment <= 8; ++segment)
                if (tb::lcd::lights(c.toLatin1(), segment))
                    look += QChar('0' + segment);
            if (look == lit) {
                match = c;
                break;
            }
        }
        text += match;
    }
    return text;
}

QString shown(TLCD99& lcd) {
    return shown(lcd, lcd.grab().toImage());
}

// Runs the next step of a change as its timer would.
void step(TLCD99& lcd) {
    auto* timer = lcd.findChild<QTimer*>();
    QVERIFY(timer && timer->isActive());
    QTimerEvent tick(timer->timerId());
    QCoreApplication::sendEvent(timer, &tick);
}

// A display whose changes wait for the test to step them.
void stepByHand(TLCD99& lcd, TLCDAnimation animation) {
    lcd.setAnimation(animation);
    lcd.setAnimationDelay(7 * 100'000);
}

// A paint request, as the window system sends one; the widgets here have no window.
void paint(TLCD99& lcd) {
    (void)lcd.grab();
}

void settle(TLCD99& lcd, const QString& value) {
    lcd.setValue(value);
    paint(lcd);
    for (int i = 0; i < 9 && lcd.changing(); ++i)
        step(lcd);
    QVERIFY(!lcd.changing());
}

bool anyPixel(const QImage& image, const QColor& colour) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) == colour)
                return true;
    return false;
}

QImage grabbed(QWidget& widget) {
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

} // namespace

class TestDisplays : public QObject {
    Q_OBJECT

private slots:
    void lcdMainWindowGeometry();
    void lcdValues();
    void lcdUpwardStepByStep();
    void lcdOrdersNoneAndRandom();
    void lcdInTheMainWindow();
    void gaugeMainWindow();
    void gaugeGradientBytes();
    void gaugeInverseText();
    void gaugeProgressChecks();
};

void TestDisplays::lcdMainWindowGeometry() {
    TLCD99 lcd;
    lcd.resize(157, 25);
    lcd.setDigitNum(10);
    lcd.setValue(QStringLiteral("8888888888"));
    const QImage image = grabbed(lcd);
    // Lit columns per cell: 9 wide between its sides, cells 15 apart from x = 6 to x = 150.
    QList<int> lefts, rights;
    for (int cell = 1; cell <= 10; ++cell) {
        int left = -1, right = -1;
        for (int x = 15 * cell - 12; x <= 15 * cell + 2 && x < image.width(); ++x)
            for (int y = 0; y < image.height(); ++y)
                if (image.pixelColor(x, y) == kLime) {
                    right = x;
                    if (left < 0)
                        left = x;
                }
        lefts << left;
        rights << right;
        QCOMPARE(right - left, 9);
    }
    QCOMPARE(lefts.first(), 6);
    QCOMPARE(lefts.at(1), 21);
    QCOMPARE(rights.last(), 150);
    QCOMPARE(shown(lcd, image), QStringLiteral("8888888888"));
    // Nothing lit right of the last cell or above/below the cells' 25 rows.
    for (int x = 151; x < 157; ++x)
        for (int y = 0; y < 25; ++y)
            QVERIFY(image.pixelColor(x, y) != kLime);
}

void TestDisplays::lcdValues() {
    TLCD99 lcd; // four cells, 92 x 34, drawn at once
    lcd.setValue(QStringLiteral("12.5"));
    QCOMPARE(shown(lcd), QStringLiteral(" 12.5"));

    lcd.setValue(QStringLiteral("abc"));
    QCOMPARE(lcd.Value(), QStringLiteral("ABC"));
    QCOMPARE(shown(lcd), QStringLiteral(" ABC"));

    lcd.setValue(QStringLiteral("5.."));
    QCOMPARE(lcd.Value(), QStringLiteral("5."));
    QCOMPARE(shown(lcd), QStringLiteral("   .5")); // the point stands before the 5
    lcd.setValue(QStringLiteral("..5"));
    QCOMPARE(shown(lcd), QStringLiteral("  . .5"));
    lcd.setValue(QStringLiteral("12345"));
    QCOMPARE(shown(lcd), QStringLiteral("1234")); // the first cells of a longer text

    lcd.setValue(QStringLiteral("1,5"));
    QCOMPARE(lcd.Value(), QString());
    QVERIFY(!anyPixel(grabbed(lcd), kLime));
    lcd.setValue(QStringLiteral("Přes"));
    QCOMPARE(lcd.Value(), QString());

    // The same text again asks for no paint; a text that normalises to the same one does.
    lcd.setValue(QStringLiteral("ABC"));
    lcd.show();
    QVERIFY(QTest::qWaitForWindowExposed(&lcd));
    int paints = 0;
    struct PaintCounter : QObject {
        int& count;
        explicit PaintCounter(int& c) : count(c) {}
        bool eventFilter(QObject*, QEvent* event) override {
            count += event->type() == QEvent::Paint;
            return false;
        }
    } counter(paints);
    lcd.installEventFilter(&counter);
    lcd.setValue(QStringLiteral("ABC"));
    QCoreApplication::processEvents();
    QCOMPARE(paints, 0);
    lcd.setValue(QStringLiteral("abc"));
    QCoreApplication::processEvents();
    QCOMPARE(paints, 1);
    QCOMPARE(lcd.Value(), QStringLiteral("ABC"));
}

void TestDisplays::lcdUpwardStepByStep() {
    TLCD99 lcd;
    stepByHand(lcd, TLCDAnimation::anUp);
    settle(lcd, QStringLiteral("1111"));

    // The middle cells turn from 1 into 8 from the bottom segment up; the outer ones stay.
    lcd.setValue(QStringLiteral("1881"));
    const QStringList frames = {"367",   "367",   "3567",   "3567",
                                "34567", "34567", "234567", "1234567"};
    for (int i = 0; i < frames.size(); ++i) {
        if (i > 0)
            step(lcd);
        else
            paint(lcd); // the paint that sees the new value draws the first step with it
        const QImage frame = grabbed(lcd);
        QCOMPARE(frame, grabbed(lcd)); // a paint request mid-change shows the same frame
        for (int cell : {2, 3})
            QCOMPARE(litSegments(frame, lcd, cell), frames.at(i));
        for (int cell : {1, 4})
            QCOMPARE(litSegments(frame, lcd, cell), QStringLiteral("36"));
    }
    QVERIFY(lcd.changing());             // the last step stands for its share of the time too
    lcd.setValue(QStringLiteral("1.2")); // set meanwhile: drawn once this change has ended
    QCOMPARE(shown(lcd), QStringLiteral("1881"));
    step(lcd);
    QVERIFY(!lcd.changing());
    paint(lcd);
    QVERIFY(lcd.changing());
    for (int i = 0; i < 8; ++i)
        step(lcd);
    QCOMPARE(shown(lcd), QStringLiteral("  1.2"));

    // An emptied value clears the area and draws every cell anew in OffColor, step by step.
    lcd.setOffColor(QColor(0, 60, 0));
    lcd.setValue(QString());
    paint(lcd);
    QImage frame = grabbed(lcd);
    const auto bottom = geometryOf(lcd).segment(1, 7)[0];
    const auto top = geometryOf(lcd).segment(1, 1)[0];
    QCOMPARE(frame.pixelColor(bottom.x, bottom.y), lcd.OffColor());
    QCOMPARE(frame.pixelColor(top.x, top.y), lcd.Color());
    for (int i = 0; i < 7; ++i)
        step(lcd);
    frame = grabbed(lcd);
    QCOMPARE(frame.pixelColor(top.x, top.y), lcd.OffColor());
    QVERIFY(!anyPixel(frame, kLime));
}

void TestDisplays::lcdOrdersNoneAndRandom() {
    TLCD99 lcd;
    // anNone: the whole change in the one paint, no timer.
    lcd.setAnimationDelay(250);
    lcd.setValue(QStringLiteral("1234"));
    QCOMPARE(shown(lcd), QStringLiteral("1234"));
    QVERIFY(!lcd.changing());

    // The first step of each order tells it apart: a blank turning into 8 and one turning
    // into a colon light the one segment of that step.
    const QHash<QString, TLCDAnimation> firstSteps = {{"8", TLCDAnimation::anSpiral},
                                                      {"7", TLCDAnimation::anUp},
                                                      {"1", TLCDAnimation::anDown},
                                                      {"6", TLCDAnimation::anLeft},
                                                      {"2", TLCDAnimation::anRight}};
    auto firstStepOf = [&](TLCDAnimation animation) {
        stepByHand(lcd, animation);
        settle(lcd, QStringLiteral("    "));
        lcd.setValue(QStringLiteral("  8:"));
        paint(lcd);
        const QImage frame = grabbed(lcd);
        const QString lit = litSegments(frame, lcd, 3) + litSegments(frame, lcd, 4);
        for (int i = 0; i < 8; ++i)
            step(lcd);
        return lit;
    };
    for (auto order = firstSteps.cbegin(); order != firstSteps.cend(); ++order)
        QCOMPARE(firstStepOf(order.value()), order.key());

    QSet<QString> seen;
    for (int change = 0; change < 40; ++change) {
        const QString lit = firstStepOf(TLCDAnimation::anRandom);
        QVERIFY2(firstSteps.contains(lit), qPrintable(lit));
        seen.insert(lit);
    }
    QVERIFY(seen.size() >= 3);
    QCOMPARE(shown(lcd), QStringLiteral("  8:"));
}

void TestDisplays::lcdInTheMainWindow() {
    tb::test::MainWindowFixture fx;
    TForm1& form = fx.show();
    form.Timer2->stop(); // ticks come from the test
    QTRY_VERIFY(!form.LCD991->changing());
    QCOMPARE(shown(*form.LCD991), QStringLiteral("QRQUDRQUED")); // W and U look alike
    form.Timer2Timer();
    QTRY_VERIFY(!form.LCD991->changing());
    QCOMPARE(shown(*form.LCD991).trimmed(), form.LCD991->Value());
}

void TestDisplays::gaugeMainWindow() {
    TProgress gauge;
    gauge.resize(121, 12);
    gauge.setBackColor(Qt::black);
    gauge.setBorderColor(Qt::black);
    auto litColumns = [&](int row) {
        const QImage image = grabbed(gauge);
        QList<int> columns;
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, row) != QColor(Qt::black))
                columns << x;
        return columns;
    };
    QVERIFY(litColumns(5).isEmpty());
    gauge.setProgress(50);
    const QList<int> half = litColumns(5);
    QCOMPARE(half.size(), 60);
    QCOMPARE(half.first(), 1);
    QCOMPARE(half.last(), 60);
    QCOMPARE(litColumns(1), half);
    QCOMPARE(litColumns(10), half);
    QVERIFY(litColumns(0).isEmpty() && litColumns(11).isEmpty());

    gauge.setProgress(100);
    QCOMPARE(litColumns(5).size(), 119);
    QCOMPARE(grabbed(gauge).pixelColor(119, 5), QColor(Qt::red));
    QCOMPARE(grabbed(gauge).pixelColor(120, 5), QColor(Qt::black));
}

void TestDisplays::gaugeGradientBytes() {
    TProgress gauge;
    gauge.resize(102, 10);
    gauge.setProgress(100);
    const QImage image = grabbed(gauge);
    // Halves go to the even neighbour: 25.5 -> 26, 76.5 -> 76, 127.5 -> 128.
    const QList<std::array<int, 3>> columns = {{1, 3, 252},    {10, 26, 230}, {30, 76, 178},
                                               {50, 128, 128}, {99, 252, 3},  {100, 255, 0}};
    for (const auto& [x, red, green] : columns)
        QCOMPARE(image.pixelColor(x, 4), QColor(red, green, 0));

    gauge.setProgress(37); // the colours belong to the columns, not to the bar's length
    QCOMPARE(grabbed(gauge).pixelColor(30, 4), QColor(76, 178, 0));
    QCOMPARE(grabbed(gauge).pixelColor(38, 4), QColor(Qt::white));
}

void TestDisplays::gaugeInverseText() {
    QWidget parent;
    parent.resize(140, 40);
    parent.setAutoFillBackground(true);
    QPalette palette;
    palette.setColor(QPalette::Window, QColor(10, 20, 30));
    parent.setPalette(palette);
    auto* gauge = new TProgress(&parent);
    gauge->setGeometry(20, 10, 60, 16);
    QFont font;
    font.setPixelSize(14);
    font.setBold(true);
    gauge->setTextFont(font);

    // Over the white, unfilled box the text is black; nothing else appears.
    gauge->setText(QStringLiteral("WWW"));
    QImage image = grabbed(*gauge);
    QSet<QRgb> colours;
    for (int y = 1; y < image.height() - 1; ++y)
        for (int x = 1; x < image.width() - 1; ++x)
            colours.insert(image.pixel(x, y));
    QCOMPARE(colours, (QSet<QRgb>{qRgb(255, 255, 255), qRgb(0, 0, 0)}));

    // Over red it is cyan; a text wider than the gauge stays inside it.
    gauge->setFromColor(Qt::red);
    gauge->setToColor(Qt::red);
    gauge->setProgress(100);
    gauge->setText(QStringLiteral("WWWWWWWWWWWW"));
    image = grabbed(parent);
    colours.clear();
    for (int y = 11; y < 25; ++y)
        for (int x = 21; x < 79; ++x)
            colours.insert(image.pixel(x, y));
    QCOMPARE(colours, (QSet<QRgb>{qRgb(255, 0, 0), qRgb(0, 255, 255)}));
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (!QRect(20, 10, 60, 16).contains(x, y))
                QCOMPARE(image.pixelColor(x, y), QColor(10, 20, 30));
}

void TestDisplays::gaugeProgressChecks() {
    TProgress gauge;
    gauge.resize(102, 10);
    gauge.setProgress(40);
    const QImage forty = grabbed(gauge);
    gauge.setProgress(150);
    QCOMPARE(gauge.Progress(), 40);
    QCOMPARE(grabbed(gauge), forty);

    gauge.setProgress(-10);
    QCOMPARE(gauge.Progress(), -10);
    QCOMPARE(grabbed(gauge).pixelColor(1, 4), QColor(Qt::white));
}

QTEST_MAIN(TestDisplays)
#include "test_displays.moc"
