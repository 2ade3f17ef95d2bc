#include "controls/BalHint.h"
#include "support/MainWindowFixture.h"

#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QToolTip>
#include <QtTest>
#include <memory>

namespace {

class FakeScreen : public THintScreen {
public:
    QPoint pointer() const override { return pointerPos; }
    int screenWidth() const override { return width; }

    QPoint pointerPos{500, 300};
    int width = 1024;
};

QFont testFont() {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(12);
    return font;
}

// Black text on the red face, with its smoothed edges; the white outline does not count.
bool isDark(const QColor& c) {
    return c.red() < 200;
}

// Columns [first, last] holding dark pixels of the balloon between the rows, or (-1, -1).
struct Columns {
    int first;
    int last;
};
Columns darkColumns(TBaloonHintWindow* window, int top, int bottom) {
    const QImage image = window->grab().toImage();
    const QRegion balloon = window->balloonRegion();
    Columns ink{-1, -1};
    for (int x = 0; x < image.width(); ++x)
        for (int y = top; y < bottom; ++y)
            if (balloon.contains(QPoint(x, y)) && isDark(image.pixelColor(x, y))) {
                if (ink.first < 0)
                    ink.first = x;
                ink.last = x;
            }
    return ink;
}

} // namespace

class TestBalloonHints : public QObject {
    Q_OBJECT

    // Shows a hint through a fresh component: red face, white edge, black text, no shadow.
    TBaloonHintWindow* activate(const QString& text) {
        TBaloonHintWindow* window = TBaloonHint::HintWindow();
        window->setHintScreen(&screen_);
        window->ActivateHint(QRect(), text);
        return window;
    }

    void makeBalloon() {
        balloon_ = std::make_unique<TBaloonHint>();
        balloon_->setBrush(Qt::red);
        balloon_->setFont(testFont());
        balloon_->setFontColor(Qt::black);
        balloon_->setHintShadowOn(false);
    }

private slots:
    void init() {
        screen_ = FakeScreen();
        makeBalloon();
    }
    void cleanup() {
        if (TBaloonHintWindow* window = TBaloonHint::HintWindow()) {
            window->hide();
            window->setHintScreen(nullptr);
        }
        balloon_.reset();
    }

    void ownerFontFollowsTheForm() {
        QWidget form;
        QFont formFont = testFont();
        formFont.setItalic(true);
        form.setFont(formFont);
        auto* owned = new TBaloonHint(&form);
        owned->setFont(testFont());
        QVERIFY(!owned->OwnerFont());
        owned->setOwnerFont(true);
        QVERIFY(owned->Font().italic());
        owned->setFontColor(Qt::blue); // any change of the font leaves the owner's
        QVERIFY(!owned->OwnerFont());
    }

    void oneCharacterHintKeepsAThirtyPixelBlock() {

        QSignalSpy hinted(balloon_.get(), &TBaloonHint::OnHint);
        TBaloonHintWindow* window = activate(QStringLiteral("i"));
        QVERIFY(window->isVisible());
        QCOMPARE(window->windowTitle(), QStringLiteral("i"));
        QCOMPARE(hinted.count(), 1);
        QCOMPARE(hinted[0][1].toInt(), 500);
        QCOMPARE(hinted[0][2].toInt(), 300);
        QCOMPARE(balloon_->HintPos(), QPoint(500, 300));

        const int H = QFontMetrics(testFont()).height();
        QCOMPARE(window->geometry(), QRect(500, 300 - (H + 35), 50, H + 35));
        QCOMPARE(window->balloonRegion().boundingRect().width(), 45);
        QCOMPARE(window->mask(), window->balloonRegion());

        // The character lies in the 30-pixel block from x = 10 to 40, placed by alignment.
        const auto ink = [&](tb::TAlignment alignment) {
            balloon_->setAlignment(alignment);
            return darkColumns(activate(QStringLiteral("i")), 5, H + 10);
        };
        const auto left = ink(tb::TAlignment::taLeftJustify);
        const auto right = ink(tb::TAlignment::taRightJustify);
        const auto centre = ink(tb::TAlignment::taCenter);
        QVERIFY2(left.first >= 10 && left.last < 16, qPrintable(QString::number(left.first)));
        QVERIFY2(right.last < 40 && right.first > 32, qPrintable(QString::number(right.last)));
        QVERIFY(centre.first > left.first && centre.last < right.last);
    }

    void controlCharactersMakeTwoLines() {
        const int H = QFontMetrics(testFont()).height();
        TBaloonHintWindow* window = activate(QStringLiteral("Ab\r\nCd"));
        QCOMPARE(window->height(), 2 * H + 35);
        const QImage twoLines = window->grab().toImage();
        activate(QStringLiteral("Ab\r\n\r\n\r\n\r\nCd"));
        QCOMPARE(window->height(), 2 * H + 35);
        QCOMPARE(window->grab().toImage(), twoLines);
    }

    void rightJustifiedLinesShiftByTheirDifference() {
        const QFontMetrics metrics(testFont());
        const int H = metrics.height();
        const QString text = QStringLiteral("ii\nMMMMMM");
        const int difference = metrics.horizontalAdvance(QStringLiteral("MMMMMM")) -
                               metrics.horizontalAdvance(QStringLiteral("ii"));
        const auto lines = [&](tb::TAlignment alignment) {
            balloon_->setAlignment(alignment);
            TBaloonHintWindow* window = activate(text);
            return std::pair(darkColumns(window, 7, 7 + H), darkColumns(window, 7 + H, 7 + 2 * H));
        };
        const auto [shortLeft, longLeft] = lines(tb::TAlignment::taLeftJustify);
        const auto [shortRight, longRight] = lines(tb::TAlignment::taRightJustify);
        QCOMPARE(shortRight.first - shortLeft.first, difference);
        QCOMPARE(longRight.first, longLeft.first);
    }

    void fourPlacementsNearTheEdges() {
        screen_.width = 640;
        const int H = QFontMetrics(testFont()).height();
        struct Case {
            QPoint pointer;
            QPoint topLeft;
            QPoint tailPixel; // inside the tail, away from its edges
        };
        // The text "x" is 30 wide: W = 30, so the window is 50 x H + 35.
        const Case cases[] = {
            {{300, 200}, {300, 200 - (H + 35)}, {8, H + 22}},       // above, right
            {{630, 200}, {630 - 45, 200 - (H + 35)}, {31, H + 22}}, // above, left
            {{300, 10}, {300 - 45, 10}, {36, 8}},                   // below, left
            {{20, 10}, {20, 10}, {10, 10}},                         // below, right
        };
        for (const Case& c : cases) {
            screen_.pointerPos = c.pointer;
            TBaloonHintWindow* window = activate(QStringLiteral("x"));
            QCOMPARE(window->pos(), c.topLeft);
            QVERIFY(window->balloonRegion().contains(c.tailPixel));
            QCOMPARE(window->grab().toImage().pixelColor(c.tailPixel), QColor(Qt::red));
        }
    }

    void shadowIsTheOnlyBlack() {
        balloon_->setFontColor(Qt::blue);
        balloon_->setPen(QPen(Qt::white, 2));
        for (bool below : {false, true}) {
            screen_.pointerPos = below ? QPoint(300, 5) : QPoint(300, 300);
            TBaloonHintWindow* window = activate(QStringLiteral("Komentář\nRok"));
            const QImage image = window->grab().toImage();
            int black = 0;
            for (const QRect& r : window->balloonRegion())
                for (int y = r.top(); y <= r.bottom(); ++y)
                    for (int x = r.left(); x <= r.right(); ++x)
                        black += image.pixelColor(x, y) == QColor(Qt::black);
            QCOMPARE(black, 0);
        }

        balloon_->setHintShadowOn(true);
        screen_.pointerPos = QPoint(300, 300);
        TBaloonHintWindow* window = activate(QStringLiteral("Rok"));
        const tb::BalloonShape& s = window->shape();
        const QPoint inShadow(s.inner.width + 17, s.inner.height / 2 + 5);
        QVERIFY(window->balloonRegion().contains(inShadow));
        QCOMPARE(window->grab().toImage().pixelColor(inShadow), QColor(Qt::black));
        QCOMPARE(window->balloonRegion().boundingRect().size(), window->size());
    }

    void iconStandsLeftOfTheText() {
        QPixmap icon(16, 16);
        icon.fill(Qt::yellow);
        balloon_->setIcon(icon);
        TBaloonHintWindow* window = activate(QStringLiteral("Rok vydání"));
        const tb::BalloonShape& s = window->shape();
        const tb::IconAndText placed = tb::placeIconAndText(s.textRect, s.text, {16, 16});
        const QImage image = window->grab().toImage();
        QCOMPARE(image.pixelColor(placed.icon.x + 8, placed.icon.y + 8), QColor(Qt::yellow));
        QVERIFY(darkColumns(window, 5, s.textRect.bottom).first >= placed.text.left);
    }

    // The pointer rests, the balloon shows the short hint, and goes on every way out.
    void hintManagerShowsAndHides() {
        balloon_->setHintPauseTime(30);
        balloon_->setHintHidePause(400);
        QWidget form;
        form.setGeometry(100, 100, 300, 200);
        auto* withHint = new QPushButton(QStringLiteral("A"), &form);
        withHint->setGeometry(10, 10, 100, 30);
        withHint->setToolTip(QStringLiteral("Krátká|Dlouhá nápověda"));
        auto* group = new QWidget(&form);
        group->setGeometry(10, 60, 200, 100);
        group->setToolTip(QStringLiteral("Skupina"));
        auto* inGroup = new QPushButton(QStringLiteral("B"), group);
        inGroup->setGeometry(10, 10, 50, 30);
        auto* bare = new QPushButton(QStringLiteral("C"), &form);
        bare->setGeometry(220, 10, 60, 30);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        TBaloonHintWindow* window = TBaloonHint::HintWindow();

        QTest::mouseMove(withHint, {20, 10});
        QTRY_VERIFY(window->isVisible());
        QCOMPARE(window->windowTitle(), QStringLiteral("Krátká"));
        QCOMPARE(window->pos().x(), form.mapToGlobal(QPoint(30, 20)).x());
        QTRY_VERIFY_WITH_TIMEOUT(!window->isVisible(), 3000); // the hide pause
        QTest::qWait(1000);                                   // Qt's own tip would be up now
        QVERIFY(!QToolTip::isVisible());
        QVERIFY(!window->isVisible()); // no second showing on the same control

        QTest::mouseMove(inGroup, {20, 10}); // no hint of its own: the group's applies
        QTRY_VERIFY(window->isVisible());
        QCOMPARE(window->windowTitle(), QStringLiteral("Skupina"));
        QTest::mouseMove(bare, {5, 5});
        QVERIFY(!window->isVisible());
        QTest::qWait(100);
        QVERIFY(!window->isVisible());

        QTest::mouseMove(withHint, {30, 10});
        QTRY_VERIFY(window->isVisible());
        QTest::keyClick(&form, Qt::Key_A);
        QVERIFY(!window->isVisible());

        QTest::mouseMove(bare, {6, 6});
        QTest::mouseMove(withHint, {40, 10});
        QTRY_VERIFY(window->isVisible());
        QWheelEvent wheel(QPointF(40, 10), withHint->mapToGlobal(QPointF(40, 10)), {}, {0, 120},
                          Qt::NoButton, {}, Qt::NoScrollPhase, false);
        QApplication::sendEvent(withHint, &wheel);
        QVERIFY(!window->isVisible());

        QTest::mouseMove(bare, {7, 7});
        QTest::mouseMove(withHint, {50, 10});
        QTRY_VERIFY(window->isVisible());
        QTest::mousePress(withHint, Qt::LeftButton, {}, {50, 10});
        QVERIFY(!window->isVisible());
        QTest::mouseRelease(withHint, Qt::LeftButton, {}, {50, 10});

        // Without a component no hint shows at all, neither a balloon nor Qt's own.
        balloon_.reset();
        QTest::mouseMove(bare, {8, 8});
        QTest::mouseMove(withHint, {60, 10});
        QTest::qWait(1000);
        QVERIFY(!window->isVisible());
        QVERIFY(!QToolTip::isVisible());
    }

    void mainWindowHintsAreRedBalloonsWithWhiteEdges() {
        balloon_.reset();
        tb::test::MainWindowFixture fixture;
        TForm1& form = fixture.show();
        TBaloonHint* hint = form.BaloonHint1;
        QCOMPARE(hint->HintPauseTime(), 500);
        QCOMPARE(hint->HintHidePause(), 5000);
        QCOMPARE(hint->Alignment(), tb::TAlignment::taCenter);
        QVERIFY(!hint->OwnerFont() && hint->Font().bold() && hint->Font().pixelSize() == 13);

        QTest::mouseMove(form.RadioButton1, {10, 8});
        TBaloonHintWindow* window = TBaloonHint::HintWindow();
        QTRY_VERIFY(window->isVisible());
        QCOMPARE(window->windowTitle(),
                 QStringLiteral("Přidá se kompletní cesta (C:\\DATA\\MP3\\)"));
        const tb::BalloonShape& s = window->shape();
        const QImage image = window->grab().toImage();
        const int y = s.body[0].y;
        QCOMPARE(image.pixelColor(8, y + 3), QColor(Qt::red));
        QCOMPARE(image.pixelColor(20, y), QColor(Qt::white));
        QCOMPARE(image.pixelColor(s.inner.width + 18, y + 12), QColor(Qt::black)); // shadow
    }

private:
    FakeScreen screen_;
    std::unique_ptr<TBaloonHint> balloon_;
};

QTEST_MAIN(TestBalloonHints)
#include "test_balloon_hints.moc"
