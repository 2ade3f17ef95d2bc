// Runs under a real X server: only there does the window system cut the balloon's shape.
#include "controls/BalHint.h"
#include "support/QtTests.h"

#include <QScreen>

namespace {

class FixedPointer : public THintScreen {
public:
    QPoint pointer() const override { return {300, 300}; }
    int screenWidth() const override { return 800; }
};

const QColor kBelow(0, 0, 255);

} // namespace

class TestBalloonShape : public QObject {
    Q_OBJECT

private slots:
    void windowBelowShowsAroundTheBalloon() {
        QWidget below(nullptr, Qt::FramelessWindowHint);
        QPalette pal = below.palette();
        pal.setColor(QPalette::Window, kBelow);
        below.setPalette(pal);
        below.setAutoFillBackground(true);
        below.setGeometry(100, 100, 500, 400);
        below.show();
        QVERIFY(QTest::qWaitForWindowExposed(&below));
        below.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&below));

        TBaloonHint balloon;
        balloon.setBrush(Qt::red);
        FixedPointer pointer;
        TBaloonHintWindow* window = TBaloonHint::HintWindow();
        window->setHintScreen(&pointer);
        window->ActivateHint(QRect(), QStringLiteral("Rok vydání"));
        QVERIFY(QTest::qWaitForWindowExposed(window));

        // Above and to the right of the pointer (BalHintMath), the tail's tip at the pointer
        // (test_balhint).
        const tb::BalloonShape& s = window->shape();
        const int W = s.inner.width, H = s.inner.height;
        const QRect bounds = window->geometry();
        const auto screenAt = [&](int x, int y) {
            const QImage shot =
                QGuiApplication::primaryScreen()
                    ->grabWindow(0, bounds.x(), bounds.y(), bounds.width(), bounds.height())
                    .toImage();
            return shot.pixelColor(x, y);
        };
        QTRY_COMPARE(screenAt(W / 2, H / 2 + 5), QColor(Qt::red));
        // Inside the window's box, outside the balloon and its shadow: the window below.
        QCOMPARE(screenAt(W + 19, 0), kBelow);
        QCOMPARE(screenAt(W + 19, H + 34), kBelow);
        QCOMPARE(screenAt(W / 2, H + 25), kBelow);
        QCOMPARE(screenAt(W + 17, H / 2 + 5), QColor(Qt::black));       // the shadow
        QCOMPARE(QGuiApplication::focusWindow(), below.windowHandle()); // no focus taken

        // Without the shadow the window is the balloon alone.
        balloon.setHintShadowOn(false);
        window->ActivateHint(QRect(), QStringLiteral("Rok vydání"));
        QTRY_COMPARE(screenAt(W + 17, H / 2 + 5), kBelow);
        window->hide();
        window->setHintScreen(nullptr);
    }
};

QTEST_MAIN(TestBalloonShape)
#include "test_balloon_shape.moc"
