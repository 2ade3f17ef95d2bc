// Runs under a real X server with real pointer input from xdotool: there the server itself
// grabs the pointer for the press, and Qt holds back Leave and Enter until the release.
#include "controls/TransBtn.h"
#include "controls/URLLabel.h"
#include "support/Fakes.h"
#include "support/QtTests.h"
#include "support/Xdotool.h"

using tb::test::pointerTo;
using tb::test::xdotool;

class TestPointerGrab : public QObject {
    Q_OBJECT

private slots:
    void pressedControlsFollowThePointer() {
        QWidget window(nullptr, Qt::FramelessWindowHint);
        window.setGeometry(100, 100, 240, 100);
        auto* button = new TTransparentButton(&window);
        button->move(20, 20);
        tb::test::FakeLauncher launcher;
        auto* label = new TURLLabel(&window);
        label->setGeometry(120, 30, 80, 15);
        label->setLauncher(&launcher);
        label->setColorMoveOver(Qt::green);
        pointerTo({5, 5});
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QSignalSpy enters(button, &TTransparentButton::OnMouseEnter);
        QSignalSpy exits(button, &TTransparentButton::OnMouseExit);
        QSignalSpy clicks(button, &TTransparentButton::OnClick);
        const auto on = [](QWidget* w, int x, int y) {
            return w->mapToGlobal(QPoint(x, y));
        };

        // The button: hot, pressed, dragged off (up and not hot), back (pressed), off again.
        QVERIFY(pointerTo(on(button, 10, 10)));
        QTRY_COMPARE(enters.count(), 1);
        QVERIFY(xdotool({"mousedown", "1"}));
        QTRY_VERIFY(button->pressedLook());
        QVERIFY(pointerTo(on(button, 10, 60)));
        QTRY_COMPARE(exits.count(), 1);
        QVERIFY(!button->pressedLook());
        QVERIFY(pointerTo(on(button, 12, 12)));
        QTRY_COMPARE(enters.count(), 2);
        QVERIFY(button->pressedLook());
        QVERIFY(pointerTo(on(button, 60, 12)));
        QTRY_COMPARE(exits.count(), 2);
        QVERIFY(xdotool({"mouseup", "1"}));
        QTRY_VERIFY(!button->pressedLook());
        QGuiApplication::sync(); // what the release brings is no second leave
        QCOMPARE(exits.count(), 2);
        QCOMPARE(clicks.count(), 0);

        // The label: the click colour only while pressed with the pointer over it.
        QVERIFY(pointerTo(on(label, 10, 7)));
        QTRY_COMPARE(label->textColor(), QColor(Qt::green));
        QVERIFY(xdotool({"mousedown", "1"}));
        QTRY_COMPARE(label->textColor(), QColor(Qt::red));
        QVERIFY(pointerTo(on(label, 10, 40)));
        QTRY_COMPARE(label->textColor(), QColor(Qt::blue));
        QVERIFY(pointerTo(on(label, 12, 7)));
        QTRY_COMPARE(label->textColor(), QColor(Qt::red));
        QVERIFY(xdotool({"mouseup", "1"}));
        QTRY_COMPARE(launcher.urls.size(), 1);
        QCOMPARE(label->textColor(), QColor(Qt::green));
    }
};

QTEST_MAIN(TestPointerGrab)
#include "test_pointer_grab.moc"
