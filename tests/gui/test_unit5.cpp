#include "app/Unit5.h"
#include "controls/Lcd99.h"
#include "controls/Progress.h"
#include "controls/TransBtn.h"
#include "support/MainWindowFixture.h"
#include "support/QtTests.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

using tb::test::MainWindowFixture;

class TestUnit5 : public QObject {
    Q_OBJECT

private slots:
    void boxesShowTheStoredSwitchesAndChangeThem() {
        MainWindowFixture fx;
        fx.settingsStore.values = {
            {"RgPlay", "/usr/bin/player"}, {"CistTag", "ano"}, {"AskRun", "NE"}};
        TForm1& form = fx.show();
        TSetup& setup = *fx.setup;
        QVERIFY(setup.CheckBox1->isChecked() && !setup.CheckBox2->isChecked() &&
                setup.CheckBox3->isChecked() && !setup.CheckBox4->isChecked());
        QTest::keyClicks(setup.Edit1, "xyz"); // the player path cannot be typed in
        QCOMPARE(setup.Edit1->text(), QStringLiteral("/usr/bin/player"));

        // The settings button shows the dialog modally; the user switches the tags on.
        fx.dialogs.onModal = [&](QDialog& window) {
            QCOMPARE(&window, static_cast<QDialog*>(&setup));
            setup.CheckBox2->click();
            setup.Button2->click();
            QVERIFY(!setup.isVisible());
        };
        emit form.TransparentButton1->OnClick();
        QVERIFY(fx.settings.cistTag);
    }

    void displaysFollowTheFirstBox() {
        MainWindowFixture fx;
        TForm1& form = fx.show();
        QCheckBox* box = fx.setup->CheckBox1;
        box->click();
        QVERIFY(!form.LCD991->isVisible() && !form.PG1->isVisible() && !form.Timer2->isActive());
        QVERIFY(!fx.settings.blikatka);
        box->click();
        QVERIFY(form.LCD991->isVisible() && form.PG1->isVisible() && form.Timer2->isActive());
    }

    void choosingThePlayer() {
        MainWindowFixture fx;
        fx.show();
        TSetup& setup = *fx.setup;
        const QString before = fx.settings.rgPlay;
        fx.dialogs.fileNames = {std::nullopt, QStringLiteral("/opt/my player/play")};
        setup.Button1->click(); // cancelled
        QCOMPARE(setup.Edit1->text() + fx.settings.rgPlay, before + before);
        QCOMPARE(fx.dialogs.fileRequests.first().filter, QStringLiteral("Programy (*)"));
        setup.Button1->click();
        QCOMPARE(setup.Edit1->text() + fx.settings.rgPlay,
                 QStringLiteral("/opt/my player/play/opt/my player/play"));
    }
};

QTEST_MAIN(TestUnit5)
#include "test_unit5.moc"
