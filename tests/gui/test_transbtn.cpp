// Test mouse input goes through the window system, where Qt keeps the grab of a press.
#define QTEST_QPA_MOUSE_HANDLING

#include "controls/AccessibleFactory.h"
#include "controls/TransBtn.h"
#include "support/AccessibilityNotices.h"
#include "support/QtTests.h"
#include "support/WidgetPixels.h"

#include <QAccessibleActionInterface>
#include <QPainter>

using tb::test::mouse;

namespace {

const QColor kInk(200, 0, 0); // gray 22

// A two-cell strip of 16 x 16 cells: a key-coloured border around a red square in cell 0
// and a blue one in cell 1.
QPixmap twoCellStrip() {
    QImage strip(32, 16, QImage::Format_RGB32);
    strip.fill(Qt::green);
    QPainter painter(&strip);
    painter.fillRect(4, 4, 8, 8, kInk);
    painter.fillRect(20, 4, 8, 8, Qt::blue);
    return QPixmap::fromImage(strip);
}

} // namespace

class TestTransBtn : public QObject {
    Q_OBJECT

private slots:
    void mouseStates() {
        TTransparentButton button;
        QSignalSpy clicks(&button, &TTransparentButton::OnClick);
        QSignalSpy ups(&button, &TTransparentButton::OnMouseUp);
        // A release no press on it began (that press closed a menu above) is no click.
        mouse(&button, QEvent::MouseButtonRelease, {10, 10});
        // A right click is no click; a press while disabled does nothing.
        mouse(&button, QEvent::MouseButtonPress, {10, 10}, Qt::RightButton);
        mouse(&button, QEvent::MouseButtonRelease, {10, 10}, Qt::RightButton);
        QCOMPARE(clicks.count(), 0);
        button.setEnabled(false);
        mouse(&button, QEvent::MouseButtonPress, {10, 10});
        QVERIFY(!button.pressedLook());
        // Held down, a release elsewhere leaves it down.
        button.setEnabled(true);
        button.setDown(true);
        ups.clear();
        mouse(&button, QEvent::MouseButtonPress, {10, 10});
        mouse(&button, QEvent::MouseButtonRelease, {60, 10});
        QVERIFY(ups.isEmpty());
    }

    // Real input: while the press holds the grab, Qt itself sends no Leave or Enter. Dragged
    // off and back under a real X server: test_pointer_grab.
    void explorerLookFollowsThePointerThroughAPress() {
        QWidget window;
        window.setFixedSize(120, 80);
        auto* button = new TTransparentButton(&window);
        button->move(20, 20);
        button->setGlyph(twoCellStrip());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QSignalSpy enters(button, &TTransparentButton::OnMouseEnter);
        QSignalSpy exits(button, &TTransparentButton::OnMouseExit);
        QSignalSpy clicks(button, &TTransparentButton::OnClick);
        QSignalSpy ups(button, &TTransparentButton::OnMouseUp);
        const QColor gray(22, 22, 22), light = button->palette().color(QPalette::Light).rgb(),
                                       dark = button->palette().color(QPalette::Dark).rgb();
        const QColor none = button->grab().toImage().pixelColor(0, 0);
        // The glyph's colour (shifted a pixel when pressed); the frame's corner, one pixel wide.
        const auto looks = [&](QColor glyph, QColor corner) {
            const QImage image = button->grab().toImage();
            return image.pixelColor(21, 21) == glyph && image.pixelColor(0, 0) == corner &&
                   image.pixelColor(1, 1) == none;
        };

        QTest::mouseMove(button, {10, 10});
        QVERIFY(looks(kInk, light));
        QTest::mousePress(button, Qt::LeftButton, {}, {10, 10});
        QVERIFY(looks(kInk, dark));
        QTest::mouseMove(button, {40, 10}); // off the button (x = width): up, gray, no frame
        QVERIFY(looks(gray, none));
        QTest::mouseRelease(button, Qt::LeftButton, {}, {40, 10});
        QTest::mouseMove(&window, {5, 70});
        QCOMPARE(ups.count(), 1);
        QVERIFY(looks(gray, none));

        // Out and back in, released over it: a click, and the button stays hot.
        QTest::mouseMove(button, {10, 10});
        QTest::mousePress(button, Qt::LeftButton, {}, {10, 10});
        QTest::mouseMove(button, {10, 50});
        QTest::mouseMove(button, {10, 12});
        QTest::mouseRelease(button, Qt::LeftButton, {}, {10, 12});
        QCOMPARE(clicks.count(), 1);
        QCOMPARE(enters.count(), 3);
        QCOMPARE(exits.count(), 2);
        QTest::mouseMove(button, {12, 12}); // hovering on after the click is no press
        QVERIFY(looks(kInk, light));

        // Disabled under the pointer it forgets it; enabled again, the next move finds it.
        button->setEnabled(false);
        button->setEnabled(true);
        QVERIFY(looks(gray, none));
        QTest::mouseMove(button, {11, 12});
        QVERIFY(looks(kInk, light));
        QCOMPARE(enters.count(), 4);
    }

    // Entering and leaving repaint only the explorer look, and a handler may delete the button.
    void onlyTheExplorerLookRepaintsUnderThePointer() {
        QWidget window;
        auto* button = new TTransparentButton(&window);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        tb::test::EventCount paints(button, QEvent::Paint);
        const auto enter = [&] {
            QEnterEvent event({5, 5}, {5, 5}, button->mapToGlobal(QPointF(5, 5)));
            QApplication::sendEvent(button, &event);
        };
        const auto leave = [&] {
            QEvent event(QEvent::Leave);
            QApplication::sendEvent(button, &event);
        };
        button->setFrameStyle(fsRegular);
        QCoreApplication::sendPostedEvents(); // the repaint it asked for
        paints.count = 0;
        enter();
        leave();
        QCOMPARE(paints.count, 0);
        button->setFrameStyle(fsExplorer);
        QCoreApplication::sendPostedEvents();
        paints.count = 0;
        enter();
        QCOMPARE(paints.count, 1);
        leave();
        QCOMPARE(paints.count, 2);
        QPointer<TTransparentButton> watched(button);
        connect(button, &TTransparentButton::OnMouseEnter, button, [button] { delete button; });
        enter();
        QVERIFY(!watched);
    }

    // A long caption breaks into lines when asked to, and moves when aligned anew.
    void captionWrapsAndAligns() {
        TTransparentButton button;
        button.resize(60, 60);
        button.setCaption(QStringLiteral("jedna dva tři"));
        const QImage oneLine = button.grab().toImage();
        button.setWordWrap(true);
        const QImage wrapped = button.grab().toImage();
        button.setTextAlign(ttaBottom);
        QVERIFY(wrapped != oneLine && button.grab().toImage() != wrapped);
    }

    void readsAsAPushButtonThatReadersPress() {
        installAccessibleFactory();
        QWidget window;
        auto* button = new TTransparentButton(&window);
        QAccessibleInterface* reader = QAccessible::queryAccessibleInterface(button);
        QCOMPARE(reader->role(), QAccessible::Button);

        // Caption, else hint, else the name the window gives.
        button->setAccessibleName("Nápověda");
        QCOMPARE(reader->text(QAccessible::Name), QStringLiteral("Nápověda"));
        button->setToolTip("Nastavení parametrů programu");
        QCOMPARE(reader->text(QAccessible::Name), QStringLiteral("Nastavení parametrů programu"));
        const auto press = QAccessibleActionInterface::pressAction();
        QCOMPARE(reader->actionInterface()->keyBindingsForAction(press), QStringList()); // no key
        tb::test::NoticeRecorder notices;
        button->setCaption(QStringLiteral("Tisk &Obal a víc &&"));
        button->setCaption(QStringLiteral("Tisk &Obal a víc &&"));
        QCOMPARE(reader->text(QAccessible::Name), QStringLiteral("Tisk Obal a víc &"));
        QCOMPARE(reader->actionInterface()->keyBindingsForAction(press), QStringList{"O"});
        QCOMPARE(notices.count(QAccessible::NameChanged, button), 1);

        // The press runs the click from the event loop, so that a modal window it opens does
        // not hold the reader's call; a disabled button offers and runs nothing.
        QSignalSpy clicks(button, &TTransparentButton::OnClick);
        QCOMPARE(reader->actionInterface()->actionNames(), QStringList{press});
        reader->actionInterface()->doAction(press);
        QCOMPARE(clicks.count(), 0);
        QTRY_COMPARE(clicks.count(), 1);
        reader->actionInterface()->doAction(press);
        button->setEnabled(false); // before the queued click runs
        QCoreApplication::sendPostedEvents();
        QCOMPARE(clicks.count(), 1);
        QVERIFY(reader->actionInterface()->actionNames().isEmpty() && reader->state().disabled);

        button->setEnabled(true);
        QVERIFY(!reader->state().pressed);
        button->setDown(true); // held down by the program, then let go: readers hear both
        button->setDown(false);
        QCOMPARE(notices.count(QAccessible::StateChanged, button), 2);
        mouse(button, QEvent::MouseButtonPress, {5, 5});
        QVERIFY(reader->state().pressed && !reader->state().focusable);
    }
};

QTEST_MAIN(TestTransBtn)
#include "test_transbtn.moc"
