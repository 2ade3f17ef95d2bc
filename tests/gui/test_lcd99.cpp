#include "controls/AccessibleFactory.h"
#include "controls/Lcd99.h"
#include "support/AccessibilityNotices.h"
#include "support/QtTests.h"
#include "support/WidgetPixels.h"

#include <QCoreApplication>
#include <QHash>
#include <QTimerEvent>

using tb::lcd::Geometry;
using tb::test::grabbed;

namespace {

Geometry geometryOf(const TLCD99& lcd) {
    return Geometry(lcd.width(), lcd.height(), lcd.DigitNum(), lcd.DigitSpacing(), lcd.GapX(),
                    lcd.GapY(), lcd.SegmentSize());
}

QPoint centre(const tb::lcd::Rect& r) {
    return QPoint((r.left + r.right - 1) / 2, (r.top + r.bottom - 1) / 2);
}

// The segments lit in OnColor in one cell of the picture, probed at their middles.
QString litSegments(const QImage& image, const TLCD99& lcd, int cell) {
    const Geometry geometry = geometryOf(lcd);
    QString lit;
    for (int segment = 1; segment <= 8; ++segment) {
        QPoint probe = centre(geometry.colon(cell)[0]);
        if (segment < 8) {
            probe = {};
            for (const auto& corner : geometry.segment(cell, segment))
                probe += QPoint(corner.x, corner.y);
            probe /= 6;
        }
        if (image.pixelColor(probe) == lcd.OnColor())
            lit += QChar('0' + segment);
    }
    return lit;
}

// What the display shows, read back from its pixels: each cell's character, "?" for one
// these tests never show, after "." when the point before it is lit. The segments: 1 top,
// 2 and 3 upper left and right, 4 middle, 5 and 6 lower left and right, 7 bottom, 8 colon.
QString shown(TLCD99& lcd) {
    static const QHash<QString, QChar> looks = {
        {"", ' '},      {"36", '1'},      {"13457", '2'}, {"13467", '3'},  {"2346", '4'},
        {"12467", '5'}, {"1234567", '8'}, {"8", ':'},     {"123456", 'A'}, {"24567", 'B'},
        {"1257", 'C'},  {"4", '-'},       {"12457", 'E'}};
    const QImage image = grabbed(lcd);
    QString text;
    for (int cell = 1; cell <= lcd.DigitNum(); ++cell) {
        if (image.pixelColor(centre(geometryOf(lcd).decimalPoint(cell))) == lcd.OnColor())
            text += '.';
        text += looks.value(litSegments(image, lcd, cell), '?');
    }
    return text;
}

// Runs the next step of a change as its timer would.
void step(TLCD99& lcd) {
    auto* timer = lcd.findChild<QTimer*>();
    QVERIFY(timer && timer->isActive());
    QTimerEvent tick(timer->timerId());
    QCoreApplication::sendEvent(timer, &tick);
}

// A paint request, as the window system sends one; the widgets here have no window.
void paint(TLCD99& lcd) {
    (void)lcd.grab();
}

// Shows the value in an animation whose changes wait for the test to step them.
void settle(TLCD99& lcd, TLCDAnimation animation, const QString& value) {
    lcd.setAnimation(animation);
    lcd.setAnimationDelay(7 * 100'000);
    lcd.setValue(value);
    paint(lcd);
    for (int i = 0; i < 9 && lcd.changing(); ++i)
        step(lcd);
    QVERIFY(!lcd.changing());
}

// The segments the first step from blanks to "  8:" lights, the change then run out.
QString firstStepOf(TLCD99& lcd, TLCDAnimation animation) {
    settle(lcd, animation, QStringLiteral("    "));
    lcd.setValue(QStringLiteral("  8:"));
    paint(lcd);
    const QImage frame = grabbed(lcd);
    const QString lit = litSegments(frame, lcd, 3) + litSegments(frame, lcd, 4);
    for (int i = 0; i < 8; ++i)
        step(lcd);
    return lit;
}

} // namespace

Q_DECLARE_METATYPE(TLCDAnimation)

class TestLcd99 : public QObject {
    Q_OBJECT

private slots:
    void lcdValues_data() {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("normalised");
        QTest::addColumn<QString>("picture");
        const auto row = [](const char* value, const char* normalised, const char* picture) {
            QTest::newRow(value) << QString::fromUtf8(value) << QString::fromUtf8(normalised)
                                 << QString::fromUtf8(picture);
        };
        row("12.5", "12.5", " 12.5");
        row("abc", "ABC", " ABC");
        row("5..", "5.", "   .5"); // the point stands before the 5
        row(".", "", "    ");
        row("..5", "..5", "  . .5");
        row("e-:", "E-:", " E-:");
        row("1,5", "", "    ");
        row("Přes", "", "    ");
    }

    // Four cells, 92 x 34, drawn at once.
    void lcdValues() {
        QFETCH(QString, value);
        TLCD99 lcd;
        lcd.setValue(value);
        QTEST(lcd.Value(), "normalised");
        QTEST(shown(lcd), "picture");
    }

    void lcdUpwardStepByStep() {
        TLCD99 lcd;
        settle(lcd, TLCDAnimation::anUp, QStringLiteral("1111"));

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
        lcd.setValue(QStringLiteral("1.2")); // set meanwhile: drawn once this change has ended
        QCOMPARE(shown(lcd), QStringLiteral("1881"));
        step(lcd); // the last step stands for its share of the time too
        QVERIFY(!lcd.changing());
        paint(lcd);
        for (int i = 0; i < 8; ++i)
            step(lcd);
        QCOMPARE(shown(lcd), QStringLiteral("  1.2"));
    }

    // The first step of each order lights its one segment of an 8 and of a colon.
    void lcdOrders_data() {
        QTest::addColumn<TLCDAnimation>("animation");
        QTest::addColumn<QString>("firstStep");
        QTest::newRow("spiral") << TLCDAnimation::anSpiral << "8";
        QTest::newRow("down") << TLCDAnimation::anDown << "1";
        QTest::newRow("left") << TLCDAnimation::anLeft << "6";
        QTest::newRow("right") << TLCDAnimation::anRight << "2";
    }
    void lcdOrders() {
        QFETCH(TLCDAnimation, animation);
        TLCD99 lcd;
        QTEST(firstStepOf(lcd, animation), "firstStep");
    }

    void lcdRandomOrderTakesTheOthers() {
        TLCD99 lcd;
        const QSet<QString> orders = {"8", "7", "1", "6", "2"};
        QSet<QString> seen;
        for (int change = 0; change < 40; ++change) {
            const QString lit = firstStepOf(lcd, TLCDAnimation::anRandom);
            QVERIFY2(orders.contains(lit), qPrintable(lit));
            seen.insert(lit);
        }
        QVERIFY(seen.size() >= 3);
    }

    void readsAsTheTextItsCellsShow() {
        installAccessibleFactory();
        QWidget window;
        auto* lcd = new TLCD99(&window);
        QAccessibleInterface* reader = QAccessible::queryAccessibleInterface(lcd);
        QCOMPARE(reader->role(), QAccessible::StaticText);
        tb::test::NoticeRecorder notices;
        lcd->setValue("12.5");
        lcd->setDigitNum(10);
        lcd->setValue("QRQWDRQWEDQW"); // the cells show the first ten
        QCOMPARE(reader->text(QAccessible::Value), QStringLiteral("QRQWDRQWED"));
        QCOMPARE(reader->text(QAccessible::Name), QStringLiteral("QRQWDRQWED"));
        lcd->setValue("QRQWDRQWEDXY"); // the same cells: no notice
        QCOMPARE(notices.of(QAccessible::ValueChanged, lcd), (QVariantList{"12.5", "QRQWDRQWED"}));
        QCOMPARE(notices.count(QAccessible::NameChanged, lcd), 2);

        // A name given by the window stays: only the value changes.
        lcd->setAccessibleName("Displej");
        QCOMPARE(reader->text(QAccessible::Name), QStringLiteral("Displej"));
        notices.clear();
        lcd->setValue("7");
        QCOMPARE(notices.of(QAccessible::ValueChanged, lcd), QVariantList{"7"});
        QCOMPARE(notices.count(QAccessible::NameChanged, lcd), 0);
    }
};

QTEST_MAIN(TestLcd99)
#include "test_lcd99.moc"
