#include "controls/Progress.h"

#include <QPainter>
#include <QtTest>

namespace {

QColor pixelAt(QWidget& widget, int x) {
    return widget.grab().toImage().pixelColor(x, 5);
}

} // namespace

class TestControls : public QObject {
    Q_OBJECT

private slots:
    void progressClampsAndFills() {
        TProgress progress;
        progress.resize(102, 10);
        progress.setProgress(150);
        QCOMPARE(progress.Progress(), 100);
        progress.setProgress(-3);
        QCOMPARE(progress.Progress(), 0);
        progress.setFromColor(Qt::green);
        progress.setToColor(Qt::green);
        progress.setProgress(50);
        QCOMPARE(pixelAt(progress, 10), QColor(Qt::green));
        QCOMPARE(pixelAt(progress, 80), QColor(Qt::white));
    }
};

QTEST_MAIN(TestControls)
#include "test_controls.moc"
