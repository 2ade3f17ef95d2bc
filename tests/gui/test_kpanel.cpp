#include "controls/AccessibleFactory.h"
#include "controls/KPanel.h"
#include "support/AccessibilityNotices.h"
#include "support/QtTests.h"
#include "support/WidgetPixels.h"

using tb::test::coloursIn;

class TestKPanel : public QObject {
    Q_OBJECT

private slots:
    // The rings' colours are in the settings window's picture (test_looks).
    void captionStandsInsideSixLoweredRings() {
        const QColor face(100, 100, 100);
        TKPanel panel;
        panel.resize(80, 40);
        panel.setBevelOuter(bvNone);
        panel.setBeginColor(face);
        panel.setEndColor(face);
        panel.setCaption(QStringLiteral("II"));
        panel.setAlignment(taLeftJustify);
        const QImage bare = panel.grab().toImage();
        QVERIFY(bare.pixelColor(0, 0) == face && coloursIn(bare, bare.rect()).size() > 1);
        panel.setBevelInner(bvLowered);
        panel.setBevelOuter(bvLowered);
        panel.setBevelWidth(3); // the caption moves 6 right
        QCOMPARE(panel.grab().toImage().copy(6, 6, 60, 28), bare.copy(0, 6, 60, 28));
    }

    void readsAsAPaneNamedByItsCaption() {
        installAccessibleFactory();
        QWidget window;
        auto* panel = new TKPanel(&window);
        QAccessibleInterface* reader = QAccessible::queryAccessibleInterface(panel);
        QCOMPARE(reader->role(), QAccessible::Pane);
        panel->setAccessibleName("Nastavení Trackbinder"); // without a caption: test_unit1
        tb::test::NoticeRecorder notices;
        panel->setCaption("Nadpis");
        panel->setCaption("Nadpis");
        QCOMPARE(reader->text(QAccessible::Name), QStringLiteral("Nadpis"));
        QCOMPARE(notices.count(QAccessible::NameChanged, panel), 1);
    }
};

QTEST_MAIN(TestKPanel)
#include "test_kpanel.moc"
