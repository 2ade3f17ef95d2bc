#include "controls/KPanel.h"
#include "controls/Lcd99.h"
#include "controls/Progress.h"
#include "controls/TransBtn.h"
#include "controls/URLLabel.h"
#include "controls/X2000RC.h"
#include "platform/Paths.h"
#include "platform/Pictures.h"
#include "support/MainWindowFixture.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

using tb::Dialogs;
using tb::test::MainWindowFixture;

namespace {
const QString kTipsTitle = QStringLiteral("Víte že ...");
const QString kAboutTitle = QStringLiteral("O programu");
const QString kSetupTitle = QStringLiteral("Nastavení Trackbinder");
} // namespace

class TestSecondaryWindows : public QObject {
    Q_OBJECT

private slots:
    void settingsDialogFilledAtFirstShowAndWrittenBack();
    void displaysFollowTheFirstBox();
    void choosingThePlayer();
    void tipsPageRoundAndClose();
    void splashHoldsAcrossAWrapOfTheTickCount();
    void aboutBoxOnlyWhenTheRunEnds();
    void aboutBoxContentAndClosing();
    void undecodablePictureLeavesAnEmptyArea();
};

void TestSecondaryWindows::settingsDialogFilledAtFirstShowAndWrittenBack() {
    MainWindowFixture fx;
    fx.settingsStore.values = {{"RgPlay", "/usr/bin/player"},
                               {"CistTag", "ano"},
                               {"AskRun", "NE"},
                               {"DelAfter", "ANO"},
                               {"Blikatka", "ANO"}};
    TForm1& form = fx.show();
    TSetup& setup = *fx.setup;
    QCOMPARE(setup.windowTitle(), kSetupTitle);
    QCOMPARE(setup.size(), QSize(395, 195));
    QCOMPARE(setup.KPanel1->BeginColor(), QColor(Qt::red));
    QCOMPARE(setup.KPanel1->EndColor(), QColor(Qt::black));
    QCOMPARE(setup.Edit1->text(), QStringLiteral("/usr/bin/player"));
    QVERIFY(setup.CheckBox1->isChecked()); // "Blikatka" is on
    QVERIFY(!setup.CheckBox2->isChecked() && setup.CheckBox3->isChecked() &&
            !setup.CheckBox4->isChecked());
    // Unchecking a box by the program ran its handler: "ano" is off and now reads "NE".
    QCOMPARE(fx.settings.cistTag, QStringLiteral("NE"));
    QCOMPARE(fx.settings.askRun, QStringLiteral("NE"));
    // Splash closed, then the tips window shown; nothing else modal.
    QCOMPARE(fx.dialogs.modalWindows, QStringList{kTipsTitle});

    // The player path cannot be typed in.
    QVERIFY(setup.Edit1->isReadOnly());
    QTest::keyClicks(setup.Edit1, "xyz");
    QCOMPARE(setup.Edit1->text(), QStringLiteral("/usr/bin/player"));

    // The settings button shows the dialog modally; the user switches the tags on.
    fx.dialogs.onModal = [&](QDialog& window) {
        QCOMPARE(&window, static_cast<QDialog*>(&setup));
        QVERIFY(setup.isVisible());
        setup.CheckBox2->click();
        setup.Button2->click();
        QVERIFY(!setup.isVisible());
    };
    emit form.TransparentButton1->OnClick();
    fx.dialogs.onModal = nullptr;
    QCOMPARE(fx.dialogs.modalWindows.last(), kSetupTitle);
    QCOMPARE(fx.settings.cistTag, QStringLiteral("ANO"));

    fx.dialogs.answers = {Dialogs::Answer::Yes};
    form.close();
    QCOMPARE(fx.settingsStore.values.value("CistTag"), QStringLiteral("ANO"));
    QCOMPARE(fx.settingsStore.values.value("AskRun"), QStringLiteral("NE"));
    QCOMPARE(fx.settingsStore.values.value("DelAfter"), QStringLiteral("ANO"));
    QCOMPARE(fx.settingsStore.values.value("Blikatka"), QStringLiteral("ANO"));
}

void TestSecondaryWindows::displaysFollowTheFirstBox() {
    MainWindowFixture fx;
    TForm1& form = fx.show();
    TSetup& setup = *fx.setup;
    QVERIFY(setup.CheckBox1->isChecked() && form.Timer2->isActive());

    setup.CheckBox1->click();
    QVERIFY(!form.LCD991->isVisible() && !form.PG1->isVisible() && !form.Timer2->isActive());
    // Memory keeps its "ANO"; shut-down reads the box.
    QCOMPARE(fx.settings.blikatka, QStringLiteral("ANO"));
    setup.CheckBox1->click();
    QVERIFY(form.LCD991->isVisible() && form.PG1->isVisible() && form.Timer2->isActive());
    setup.CheckBox1->click();

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
    QVERIFY(tips.RemoveCaption2000X1->Enabled());
    QCOMPARE(tips.size(), QSize(361, 149));
    const QStringList& all = TTips::tips();
    QCOMPARE(all.size(), 3);
    const auto shown = [&] {
        return tips.Memo1->toPlainText();
    };

    tips.show();
    const unsigned first = tips.tipIndex();
    QVERIFY(first >= 1 && first <= 3);
    QCOMPARE(shown(), all.at(first - 1));
    QVERIFY(tips.Memo1->isReadOnly());

    // As many nexts as there are tips come back to the first shown.
    for (int i = 0; i < 3; ++i)
        emit tips.TransparentButton1->OnClick();
    QCOMPARE(tips.tipIndex(), first);

    while (tips.tipIndex() != 3)
        emit tips.TransparentButton1->OnClick();
    emit tips.TransparentButton1->OnClick(); // past the last: the first
    QCOMPARE(tips.tipIndex(), 1u);
    QCOMPARE(shown(), all.at(0));
    emit tips.TransparentButton2->OnClick(); // before the first: the last
    QCOMPARE(tips.tipIndex(), 3u);
    QCOMPARE(shown(), all.at(2));
    emit tips.TransparentButton2->OnClick();
    QCOMPARE(shown(), all.at(1));

    // OK, Escape and a close request each close the window.
    emit tips.TransparentButton3->OnClick();
    QVERIFY(!tips.isVisible());
    QCOMPARE(tips.result(), int(QDialog::Accepted));
    tips.show();
    QTest::keyClick(&tips, Qt::Key_Escape);
    QVERIFY(!tips.isVisible());
    tips.show();
    QVERIFY(tips.close());
    QVERIFY(!tips.isVisible());
}

void TestSecondaryWindows::splashHoldsAcrossAWrapOfTheTickCount() {
    std::uint32_t now = 0xFFFFF000u; // 4096 ms before the tick count wraps
    int sleeps = 0;
    TSplash splash;
    splash.setClock([&] { return now; },
                    [&](std::uint32_t ms) {
                        ++sleeps;
                        now += ms;
                    });
    QVERIFY(splash.windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(splash.RemoveCaption2000X1->Enabled());
    QVERIFY(splash.Image1->pixmap().size() == QSize(300, 194)); // the JPEG decoded

    splash.show();
    QCOMPARE(splash.shownAt(), 0xFFFFF000u);
    now += 2000; // a quick start-up, and the tick count wraps while the splash stands
    QVERIFY(splash.close());
    QVERIFY(!splash.isVisible());
    QCOMPARE(now, 0xFFFFF000u + 3001u); // wrapped to 3001 - 4096 + 2^32
    QVERIFY(sleeps > 0);

    // A start-up slower than three seconds closes it at once.
    sleeps = 0;
    splash.show();
    now += 3500;
    QVERIFY(splash.close());
    QCOMPARE(sleeps, 0);
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
        QCOMPARE(fx.dialogs.modalWindows, (QStringList{kTipsTitle, kAboutTitle}));
        QVERIFY(!fx.aboutBox->isVisible());
    }
}

void TestSecondaryWindows::aboutBoxContentAndClosing() {
    tb::test::FakeLauncher launcher;
    TAboutBox box(launcher);
    QCOMPARE(box.windowTitle(), kAboutTitle);
    QCOMPARE(box.size(), QSize(247, 302));
    QCOMPARE(box.ProductName->text(), QStringLiteral("Trackbinder"));
    QCOMPARE(box.Version->text(), QStringLiteral("Verze 1.55"));
    QCOMPARE(box.Label1->text(), QStringLiteral("© 2000 Brivola"));
    QCOMPARE(box.URLLabel1->URL(), QStringLiteral("mailto:trackbinder@brivola.example"));
    QCOMPARE(box.URLLabel2->URL(), QStringLiteral("https://brivola.example/trackbinder"));
    QVERIFY(!box.ProgramIcon->pixmap().isNull());
    const QStringList lines = box.Memo1->toPlainText().split('\n');
    QCOMPARE(lines.size(), 12);
    QCOMPARE(lines.mid(6, 3), QStringList(3, QString()));
    QCOMPARE(lines.at(10), QStringLiteral("O případných chybách mne "));
    QVERIFY(box.Memo1->isReadOnly());

    // The tick, Escape and the close box each close it.
    box.show();
    emit box.TransparentButton1->OnClick();
    QVERIFY(!box.isVisible());
    QCOMPARE(box.result(), int(QDialog::Accepted));
    box.show();
    QTest::keyClick(&box, Qt::Key_Escape);
    QVERIFY(!box.isVisible());
    box.show();
    QVERIFY(box.close());
    QVERIFY(!box.isVisible());
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
