// Test mouse input goes through the window system, where Qt keeps the grab of a press.
#define QTEST_QPA_MOUSE_HANDLING

#include "controls/AccessibleFactory.h"
#include "controls/URLLabel.h"
#include "support/AccessibilityNotices.h"
#include "support/Fakes.h"
#include "support/QtTests.h"
#include "support/WidgetPixels.h"

#include <QAccessibleActionInterface>

using tb::test::FakeLauncher;
using tb::test::mouse;

class TestURLLabel : public QObject {
    Q_OBJECT

private slots:
    void urlLabelOpensOnReleaseOverIt() {
        FakeLauncher launcher;
        QWidget window;
        window.setFixedSize(120, 40);
        auto& label = *new TURLLabel(&window);
        label.setLauncher(&launcher);
        label.setGeometry(10, 10, 80, 13);
        label.setURL(QStringLiteral("mailto:autor@example.cz"));
        label.setColorMoveOver(Qt::green);
        mouse(&label, QEvent::MouseButtonPress, {5, 5});
        mouse(&label, QEvent::MouseButtonRelease, {80, 5}); // one past the right edge still counts
        QCOMPARE(launcher.urls, QStringList{QStringLiteral("mailto:autor@example.cz")});
        QCOMPARE(label.textColor(), QColor(Qt::green));
        mouse(&label, QEvent::MouseButtonRelease, {5, 5}); // a release without its press
        QCOMPARE(launcher.urls.size(), 1);

        // Dragged off and released there, it opens nothing and turns normal; dragged back
        // under a real X server: test_pointer_grab.
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTest::mouseMove(&label, {5, 5});
        QTest::mousePress(&label, Qt::LeftButton, {}, {5, 5});
        QTest::mouseMove(&label, {95, 5});
        QTest::mouseRelease(&label, Qt::LeftButton, {}, {95, 5});
        QCOMPARE(launcher.urls.size(), 1);
        QCOMPARE(label.textColor(), QColor(Qt::blue));

        label.setURL(QString());
        label.setCaption(QStringLiteral("www.example.org"));
        mouse(&label, QEvent::MouseButtonPress, {5, 5});
        mouse(&label, QEvent::MouseButtonRelease, {5, 13});
        QCOMPARE(launcher.urls.last(), QStringLiteral("www.example.org"));
    }

    void readsAsALinkThatReadersFollow() {
        installAccessibleFactory();
        FakeLauncher launcher;
        QWidget window;
        auto* link = new TURLLabel(&window);
        link->setLauncher(&launcher);
        QAccessibleInterface* reader = QAccessible::queryAccessibleInterface(link);
        tb::test::NoticeRecorder notices;
        link->setText("brivola.example");
        link->setURL("https://brivola.example/trackbinder");
        link->setURL("https://brivola.example/trackbinder");
        QCOMPARE(reader->role(), QAccessible::Link);
        QCOMPARE(reader->text(QAccessible::Name), QStringLiteral("brivola.example"));
        QCOMPARE(reader->text(QAccessible::Description),
                 QStringLiteral("https://brivola.example/trackbinder"));
        QCOMPARE(notices.count(QAccessible::DescriptionChanged, link), 1);
        QVERIFY(reader->state().linked);
        reader->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QTRY_COMPARE(launcher.urls, QStringList{"https://brivola.example/trackbinder"});
    }
};

QTEST_MAIN(TestURLLabel)
#include "test_urllabel.moc"
