#include "controls/Lcd99.h"
#include "controls/Progress.h"
#include "controls/TransBtn.h"
#include "controls/URLLabel.h"
#include "platform/Pictures.h"
#include "support/MainWindowFixture.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

using tb::Dialogs;
using tb::test::MainWindowFixture;

namespace {
const QString kTipsTitle = QStringLiteral("Víte že ...");

// Its button, Escape and a close request each close the window.
void closesEachWay(QDialog& window, TTransparentButton* button) {
    window.show();
    emit button->OnClick();
    QVERIFY(!window.isVisible());
    QCOMPARE(window.result(), int(QDialog::Accepted));
    window.show();
    QTest::keyClick(&window, Qt::Key_Escape);
    QVERIFY(!window.isVisible());
    window.show();
    QVERIFY(window.close() && !window.isVisible());
}
} // namespace

class TestSecondaryWindows : public QObject {
    Q_OBJECT

private slots:
    void settingsDialogFilledAtFirstShowAndWrittenBack();
    void displaysFollowTheFirstBox();
    void choosingThePlayer();
    void tipsPageRoundAndClose();
    void splashHoldsMoreThanThreeSeconds();
    void aboutBoxOnlyWhenTheRunEnds();
    void aboutBoxContentAndClosing();
    void undecodablePictureLeavesAnEmptyArea();
};

void TestSecondaryWindows::settingsDialogFilledAtFirstShowAndWrittenBack() {
    MainWindowFixture fx;
    fx.settingsStore.values = {{"RgPlay", "/usr/bin/player"}, {"CistTag", "ano"}, {"AskRun", "NE"}};
    TForm1& form = fx.show();
    TSetup& setup = *fx.setup;
    QCOMPARE(setup.Edit1->text(), QStringLiteral("/usr/bin/player"));
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
    fx.dialogs.onModal = nullptr;
    fx.dialogs.answers = {Dialogs::Answer::Yes};
    form.close();
    QCOMPARE(fx.settingsStore.values.value("CistTag"), QStringLiteral("ANO"));
}

void TestSecondaryWindows::displaysFollowTheFirstBox() {
    MainWindowFixture fx;
    TForm1& form = fx.show();
    QCheckBox* box = fx.setup->CheckBox1;
    box->click();
    QVERIFY(!form.LCD991->isVisible() && !form.PG1->isVisible() && !form.Timer2->isActive());
    QCOMPARE(fx.settings.blikatka,
             QStringLiteral("ANO")); // memory keeps it; shut-down reads the box
    box->click();
    QVERIFY(form.LCD991->isVisible() && form.PG1->isVisible() && form.Timer2->isActive());
    box->click();

    fx.dialogs.answers = {Dialogs::Answer::Yes};
    form.close();
    QCOMPARE(fx.settingsStore.values.value("Blikatka"), QStringLiteral("NE"));
    QCOMPARE(fx.settingsStore.writeOrder.last(), QStringLiteral("Blikatka"));
}

void TestSecondaryWindows::choosingThePlayer() {
    MainWindowFixture fx;
    fx.show();
    TSetup& setup = *fx.setup;
    const QString before = fx.settings.rgPlay;
    fx.dialogs.fileNames = {std::nullopt, QStringLiteral("/opt/my player/play")};
    setup.Button1->click(); // cancelled
    QCOMPARE(setup.Edit1->text(), before);
    QCOMPARE(fx.settings.rgPlay, before);
    QCOMPARE(fx.dialogs.fileRequests.first().filter, QStringLiteral("Programy (*)"));
    setup.Button1->click();
    QCOMPARE(setup.Edit1->text(), QStringLiteral("/opt/my player/play"));
    QCOMPARE(fx.settings.rgPlay, QStringLiteral("/opt/my player/play"));
}

void TestSecondaryWindows::tipsPageRoundAndClose() {
    TTips tips;
    const QStringList& all = TTips::tips();
    tips.show();
    QCOMPARE(tips.Memo1->toPlainText(), all.at(tips.tipIndex() - 1));
    while (tips.tipIndex() != 3)
        emit tips.TransparentButton1->OnClick();
    emit tips.TransparentButton1->OnClick(); // past the last: the first
    QCOMPARE(tips.tipIndex(), 1u);
    QCOMPARE(tips.Memo1->toPlainText(), all.at(0));
    emit tips.TransparentButton2->OnClick(); // before the first: the last
    QCOMPARE(tips.Memo1->toPlainText(), all.at(2));
    emit tips.TransparentButton2->OnClick();
    QCOMPARE(tips.Memo1->toPlainText(), all.at(1));
    closesEachWay(tips, tips.TransparentButton3);
}

void TestSecondaryWindows::splashHoldsMoreThanThreeSeconds() {
    std::uint32_t now = 0xFFFFF000u; // 4096 ms before the tick count wraps
    TSplash splash;
    splash.setClock([&] { return now; }, [&](std::uint32_t ms) { now += ms; });
    QVERIFY(splash.windowFlags() & Qt::WindowStaysOnTopHint);
    QCOMPARE(splash.Image1->pixmap().size(), QSize(300, 194)); // the JPEG decoded
    splash.show();
    now += 2000; // a quick start-up: the close sleeps the rest
    QVERIFY(splash.close());
    QCOMPARE(now, 0xFFFFF000u + 3001u);

    // A start-up slower than three seconds closes it at once.
    splash.show();
    const std::uint32_t late = now += 3500;
    QVERIFY(splash.close());
    QCOMPARE(now, late);
}

void TestSecondaryWindows::aboutBoxOnlyWhenTheRunEnds() {
    for (Dialogs::Answer answer : {Dialogs::Answer::Yes, Dialogs::Answer::Closed}) {
        MainWindowFixture fx;
        TForm1& form = fx.show();
        fx.dialogs.answers = {Dialogs::Answer::No, answer};
        // The About box comes before the settings are written.
        fx.dialogs.onModal = [&](QDialog&) {
            QVERIFY(fx.settingsStore.writeOrder.isEmpty());
        };
        form.BitBtn2->click(); // No: the window stays, no About box
        QVERIFY(form.isVisible());
        QCOMPARE(fx.dialogs.modalWindows, QStringList{kTipsTitle});
        form.BitBtn2->click();
        QVERIFY(!form.isVisible());
        QCOMPARE(fx.dialogs.modalWindows, (QStringList{kTipsTitle, "O programu"}));
    }
}

void TestSecondaryWindows::aboutBoxContentAndClosing() {
    tb::test::FakeLauncher launcher;
    TAboutBox box(launcher);
    QCOMPARE(box.Version->text(), QStringLiteral("Verze 1.55"));
    QCOMPARE(box.URLLabel1->URL(), QStringLiteral("mailto:trackbinder@brivola.example"));
    QVERIFY(!box.ProgramIcon->pixmap().isNull());
    closesEachWay(box, box.TransparentButton1);
}

void TestSecondaryWindows::undecodablePictureLeavesAnEmptyArea() {
    QTemporaryDir dir;
    const QString broken = dir.filePath("broken.jpg");
    // A JPEG start marker and then nothing of a picture.
    tb::test::writeFile(broken, QByteArray("\xFF\xD8\xFF\xE0") + "not really a picture");
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("cannot read the picture .*"));
    QVERIFY(tb::readPicture(broken).isNull());
}

QTEST_MAIN(TestSecondaryWindows)
#include "test_secondary_windows.moc"
