#include "controls/AccessibleFactory.h"
#include "controls/BalHint.h"
#include "support/MainWindowFixture.h"
#include "support/QtTests.h"

#include <QAccessible>
#include <QPushButton>
#include <QRadioButton>
#include <QToolTip>
#include <functional>
#include <memory>

namespace {

class FakeScreen : public THintScreen {
public:
    QPoint pointer() const override { return pointerPos; }
    int screenWidth() const override { return width; }

    QPoint pointerPos{500, 300};
    int width = 1024;
};

// The first and last columns of ink (black on the red face) in the text rectangle, or -1.
std::pair<int, int> darkColumns(TBaloonHintWindow* window) {
    const QImage image = window->grab().toImage();
    const tb::Rect& text = window->shape().textRect;
    std::pair ink(-1, -1);
    for (int x = text.left; x < text.right; ++x)
        for (int y = text.top; y < text.bottom; ++y)
            if (window->balloonRegion().contains(QPoint(x, y)) &&
                image.pixelColor(x, y).red() < 200) {
                ink.first = ink.first < 0 ? x : ink.first;
                ink.second = x;
            }
    return ink;
}

} // namespace

class TestBalHint : public QObject {
    Q_OBJECT

    // Shows a hint through the fresh component: red face, white edge, black text, no shadow.
    TBaloonHintWindow* activate(const QString& text) {
        TBaloonHintWindow* window = TBaloonHint::HintWindow();
        window->setHintScreen(&screen_);
        window->ActivateHint(QRect(), text);
        return window;
    }

private slots:
    // Before any interface is asked for and kept: the balloon's is ours, not Qt's.
    void initTestCase() { installAccessibleFactory(); }
    void init() {
        screen_ = FakeScreen();
        balloon_ = std::make_unique<TBaloonHint>();
        balloon_->setBrush(Qt::red);
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(12);
        balloon_->setFont(font);
        balloon_->setFontColor(Qt::black);
        balloon_->setHintShadowOn(false);
    }
    void cleanup() {
        if (TBaloonHintWindow* window = TBaloonHint::HintWindow()) {
            window->hide();
            window->setHintScreen(nullptr);
        }
        balloon_.reset();
    }

    void oneCharacterHintKeepsAThirtyPixelBlock() {
        QSignalSpy hinted(balloon_.get(), &TBaloonHint::OnHint);
        TBaloonHintWindow* window = activate(QStringLiteral("i"));
        QVERIFY(window->isVisible());
        QCOMPARE(hinted.count(), 1);
        QCOMPARE(hinted[0].mid(1), (QVariantList{500, 300}));
        QCOMPARE(window->geometry().bottomLeft(), QPoint(500, 299)); // its tail at the pointer
        QCOMPARE(window->width(), 50);
        // Near the top edge it hangs below, opening left; its tail is painted in the face colour.
        screen_.pointerPos = {300, 10};
        activate(QStringLiteral("i"));
        QVERIFY(window->balloonRegion().contains(QPoint(36, 8)));
        QCOMPARE(window->grab().toImage().pixelColor(36, 8), QColor(Qt::red));
        screen_.pointerPos = {500, 300};

        // The character stands in the 30-pixel block from x = 10 to 40.
        const auto ink = darkColumns(activate(QStringLiteral("i")));
        QVERIFY(ink.first >= 10 && ink.second < 40);
    }

    void noBlackWithoutTheShadow() {
        balloon_->setFontColor(Qt::blue);
        balloon_->setPen(QPen(Qt::white, 2));
        for (const QPoint pointer : {QPoint(300, 300), QPoint(300, 5)}) {
            screen_.pointerPos = pointer;
            TBaloonHintWindow* window = activate(QStringLiteral("Komentář\nRok"));
            const QImage image = window->grab().toImage();
            for (const QRect& r : window->balloonRegion())
                for (int y = r.top(); y <= r.bottom(); ++y)
                    for (int x = r.left(); x <= r.right(); ++x)
                        QVERIFY(image.pixelColor(x, y) != QColor(Qt::black));
        }
        // The shadow falls five pixels right of and below the balloon.
        const QRect alone = activate(QStringLiteral("Rok"))->balloonRegion().boundingRect();
        balloon_->setHintShadowOn(true);
        QCOMPARE(activate(QStringLiteral("Rok"))->balloonRegion().boundingRect(),
                 alone.adjusted(0, 0, 5, 5));
    }

    // The pointer rests, the balloon shows the short hint, and goes on every way out.
    void hintManagerShowsAndHides() {
        balloon_->setHintPauseTime(30);
        balloon_->setHintHidePause(400);
        QWidget form;
        form.setGeometry(100, 100, 300, 200);
        form.setAttribute(Qt::WA_AlwaysShowToolTips); // Qt's own tips, active or not
        const auto add = [](QWidget* parent, QRect at, const QString& hint) {
            auto* button = new QPushButton(parent);
            button->setGeometry(at);
            button->setToolTip(hint);
            return button;
        };
        QPushButton* withHint = add(&form, {10, 10, 100, 30}, QStringLiteral("Krátká|Dlouhá"));
        QPushButton* group = add(&form, {10, 60, 200, 100}, QStringLiteral("Skupina"));
        QPushButton* inGroup = add(group, {10, 10, 50, 30}, QString());
        QPushButton* bare = add(&form, {220, 10, 60, 30}, QString());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        TBaloonHintWindow* window = TBaloonHint::HintWindow();
        QSignalSpy shown(balloon_.get(), &TBaloonHint::OnHint);
        tb::test::EventCount qtTips(qApp, QEvent::ToolTip); // Qt's own, before any filter

        QTest::mouseMove(withHint, {20, 10});
        QTRY_VERIFY(window->isVisible());
        QCOMPARE(window->windowTitle(), QStringLiteral("Krátká"));
        QCOMPARE(window->pos().x(), form.mapToGlobal(QPoint(30, 20)).x());
        QTest::mouseMove(withHint, {22, 12}); // moves while it shows leave it as it is
        QVERIFY(window->isVisible());
        QCOMPARE(shown.count(), 1);
        QTRY_VERIFY_WITH_TIMEOUT(!window->isVisible(), 3000); // the hide pause
        tb::test::timerTurnPassed(2 * 30); // resting on after the time-out brings nothing back
        QVERIFY(!window->isVisible());
        QTRY_VERIFY(qtTips.count > 0); // the moment Qt's own tip would show
        QVERIFY(!QToolTip::isVisible());
        QTest::mouseMove(withHint, {24, 12}); // a move over the same control waits anew,
        tb::test::timerTurnPassed(120);       // the pause set, well short of the default
        QVERIFY(window->isVisible());
        QCOMPARE(shown.count(), 2);

        QTest::mouseMove(inGroup, {20, 10}); // no hint of its own: the group's applies
        QTRY_VERIFY(window->isVisible());
        QCOMPARE(window->windowTitle(), QStringLiteral("Skupina"));
        QTest::mouseMove(bare, {5, 5});
        QVERIFY(!window->isVisible());
        tb::test::timerTurnPassed(2 * 30);
        QVERIFY(!window->isVisible());

        // A key, the wheel, a click and another active window each hide it till the next move.
        QWidget other;
        other.setGeometry(500, 100, 100, 100);
        QWheelEvent wheel(QPointF(40, 10), withHint->mapToGlobal(QPointF(40, 10)), {}, {0, 120},
                          Qt::NoButton, {}, Qt::NoScrollPhase, false);
        const std::function<void()> ways[] = {
            [&] { QTest::keyClick(&form, Qt::Key_A); },
            [&] { QApplication::sendEvent(withHint, &wheel); },
            [&] {
                QTest::mouseClick(withHint, Qt::LeftButton, {}, {50, 10});
            },
            [&] {
                other.show();
                other.activateWindow();
                QVERIFY(QTest::qWaitForWindowActive(&other));
            },
        };
        QTest::mouseMove(withHint, {30, 10});
        QTRY_VERIFY(window->isVisible());
        for (int k = 0; k < 4; ++k) {
            ways[k]();
            QVERIFY(!window->isVisible());
            tb::test::timerTurnPassed(2 * 30);
            QVERIFY(!window->isVisible());
            QTest::mouseMove(withHint, {40 + 10 * k, 10});
            QTRY_VERIFY(window->isVisible());
        }

        other.setToolTip(QStringLiteral("Jiné"));
        QTest::mouseMove(&other, {50, 50}); // its window closed during the pause: no balloon
        other.hide();
        tb::test::timerTurnPassed(2 * 30);
        QVERIFY(!window->isVisible());

        // Without a component no hint shows at all, neither a balloon nor Qt's own.
        balloon_.reset();
        QTest::mouseMove(bare, {8, 8});
        qtTips.count = 0;
        QTest::mouseMove(withHint, {60, 10});
        QTRY_VERIFY(qtTips.count > 0);
        QVERIFY(!window->isVisible() && !QToolTip::isVisible());
    }

    // The main window's component styles the balloons (their look: test_looks), though
    // another was made first; once it is gone, the other does.
    void mainWindowsComponentStylesTheBalloons() {
        balloon_->setBrush(Qt::blue);
        tb::test::MainWindowFixture fixture;
        TForm1& form = fixture.show();
        QSignalSpy otherShown(balloon_.get(), &TBaloonHint::OnHint);
        QTest::mouseMove(form.RadioButton1, {10, 8});
        TBaloonHintWindow* window = TBaloonHint::HintWindow();
        QTRY_VERIFY(window->isVisible());
        QVERIFY(otherShown.isEmpty());

        delete form.BaloonHint1;
        form.BaloonHint1 = nullptr;
        QTest::mouseMove(form.RadioButton2, {10, 8});
        QTRY_VERIFY(window->isVisible());
        QCOMPARE(otherShown.count(), 1);
        QCOMPARE(window->grab().toImage().pixelColor(8, window->shape().body[0].y + 3),
                 QColor(Qt::blue));
    }

    // Each showing names the balloon by its text.
    void readsAsAToolTipNamedByItsText() {
        TBaloonHintWindow* hint = activate(QStringLiteral("Smaže obsah playlistu"));
        QAccessibleInterface* reader = QAccessible::queryAccessibleInterface(hint);
        QCOMPARE(reader->role(), QAccessible::ToolTip);
        QCOMPARE(reader->text(QAccessible::Name), QStringLiteral("Smaže obsah playlistu"));
    }

private:
    FakeScreen screen_;
    std::unique_ptr<TBaloonHint> balloon_;
};

QTEST_MAIN(TestBalHint)
#include "test_balhint.moc"
