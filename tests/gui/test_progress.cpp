#include "controls/AccessibleFactory.h"
#include "controls/Progress.h"
#include "support/AccessibilityNotices.h"
#include "support/QtTests.h"
#include "support/WidgetPixels.h"

#include <QAccessibleValueInterface>

using tb::test::grabbed;

class TestProgress : public QObject {
    Q_OBJECT

private slots:
    // From green to red by default, each column in its own colour whatever the progress.
    void gaugeColumnsAndText() {
        TProgress gauge;
        gauge.resize(102, 10);
        gauge.setProgress(37);
        QCOMPARE(grabbed(gauge).pixelColor(1, 4), QColor(3, 252, 0));
        // Below zero it keeps the value as given and draws an empty bar.
        gauge.setProgress(-10);
        QCOMPARE(gauge.Progress(), -10);
        QCOMPARE(grabbed(gauge).pixelColor(1, 4), QColor(Qt::white));

        // Over the white, unfilled box the text is black and nothing else appears.
        QFont font;
        font.setPixelSize(8);
        gauge.setTextFont(font);
        gauge.setText(QStringLiteral("WWW"));
        QCOMPARE(tb::test::coloursIn(grabbed(gauge), QRect(1, 1, 100, 8)),
                 (QSet<QRgb>{qRgb(255, 255, 255), qRgb(0, 0, 0)}));
    }

    void readsAsAProgressBarAndTellsOfItsValue() {
        installAccessibleFactory();
        QWidget window;
        auto* gauge = new TProgress(&window);
        QAccessibleInterface* bar = QAccessible::queryAccessibleInterface(gauge);
        QCOMPARE(bar->role(), QAccessible::ProgressBar);
        tb::test::NoticeRecorder notices;
        gauge->setProgress(50);
        QCOMPARE(bar->valueInterface()->currentValue().toInt(), 50);
        QCOMPARE(bar->text(QAccessible::Value), QStringLiteral("50 %"));
        gauge->setProgress(100);
        gauge->setProgress(100); // unchanged
        gauge->setProgress(150); // ignored
        gauge->setProgress(-10); // an empty bar
        gauge->setProgress(-5);  // still empty, read the same
        QCOMPARE(bar->valueInterface()->currentValue().toInt(), 0);
        const QAccessibleValueInterface* range = bar->valueInterface();
        QCOMPARE(std::pair(range->minimumValue().toInt(), range->maximumValue().toInt()),
                 std::pair(0, 100));
        QCOMPARE(notices.of(QAccessible::ValueChanged, gauge), (QVariantList{50, 100, 0}));

        // The text names the bar.
        gauge->setText("Hotovo");
        gauge->setText("Hotovo");
        QCOMPARE(bar->text(QAccessible::Name), QStringLiteral("Hotovo"));
        QCOMPARE(notices.count(QAccessible::NameChanged, gauge), 1);
    }
};

QTEST_MAIN(TestProgress)
#include "test_progress.moc"
