// Each window, pixel for pixel, against its pictures in references/, with fonts the test loads
// itself and without the machine's font configuration. TB_UPDATE_REFERENCES=1 rewrites the
// pictures after an intended change: look at each one before committing it.
#include "controls/BalHint.h"
#include "controls/Digits.h"
#include "controls/Lcd99.h"
#include "controls/Progress.h"
#include "controls/TransBtn.h"
#include "playlist/PlaylistModel.h"
#include "support/MainWindowFixture.h"

#include <QApplication>
#include <QFontDatabase>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using tb::test::MainWindowFixture;

namespace {

const QString kReferences = QStringLiteral(QT_TESTCASE_SOURCEDIR "/gui/references");
// The fonts' own folder: the same path and contents wherever the tests run.
const QString kFontFolder = QStringLiteral("/usr/share/fonts/truetype/dejavu");

// The main window in the given state once its timers have drawn it, or null: browsing a folder
// without music, the counter in the built-in strip, the displays' random numbers stopped.
template <void (*state)(TForm1&) = nullptr> QWidget* mainWindow(MainWindowFixture& fx) {
    TForm1& form = fx.showIn(kFontFolder, {});
    form.Digits1->setBmpDigits(QImage(QStringLiteral(":/digitstrip.bmp")));
    form.Timer2->stop();
    if constexpr (state != nullptr)
        state(form);
    const std::size_t entries = form.playlist()->count();
    const bool drawn = QTest::qWaitFor([&] {
        // A value is drawn step by step from the display's next paint on.
        if (!form.LCD991->changing())
            form.LCD991->repaint();
        return form.Button4->isEnabled() == (entries > 0) &&
               form.StaticText1->isVisible() == (entries >= TForm1::ItemLimit) &&
               form.Digits1->RollStep() == 0 && !form.LCD991->changing();
    });
    return drawn ? &form : nullptr;
}

void fullPlaylist(TForm1& form) {
    form.playlist()->appendAll(std::vector<std::string_view>(TForm1::ItemLimit, "song.mp3"));
    form.Digits1->setValue(TForm1::ItemLimit); // as a restored playlist sets it
}

void displaysRunning(TForm1& form) { // numbers such as the timer draws
    form.LCD991->setValue(QStringLiteral("1234567890"));
    form.PG1->setProgress(60);
    form.PG1->setFromColor(Qt::yellow);
    form.PG1->setToColor(Qt::red);
}

// Every character the display has, at the cells' size in the window.
void everyCharacter(TForm1& form) {
    form.LCD991->setAnimation(TLCDAnimation::anNone);
    form.LCD991->setDigitNum(38);
    form.LCD991->resize(form.LCD991->width() * 38 / 10, form.LCD991->height());
    form.LCD991->setValue(QStringLiteral("0123456789-:ABCDEFGHIJKLMNOPQRSTUVWXYZ"));
}

QWidget* displayCharacters(MainWindowFixture& fx) {
    QWidget* form = mainWindow<everyCharacter>(fx);
    return form ? static_cast<TForm1*>(form)->LCD991 : nullptr;
}

// One of the other windows as the program shows it, after the main window's start; null
// where it does not come to be active.
template <auto window> QWidget* atStart(MainWindowFixture& fx) {
    fx.show();
    QWidget* shown = (fx.*window).get();
    shown->show();
    return QTest::qWaitForWindowActive(shown) ? shown : nullptr;
}

QWidget* firstTip(MainWindowFixture& fx) {
    QWidget* window = atStart<&MainWindowFixture::tips>(fx);
    while (fx.tips->tipIndex() != 1) // the first tip shown is drawn at random
        emit fx.tips->TransparentButton1->OnClick();
    return window;
}

// The main window's balloon over its first radio button.
QWidget* balloonHint(MainWindowFixture& fx) {
    QTest::mouseMove(fx.show().RadioButton1, {10, 8});
    QWidget* balloon = TBaloonHint::HintWindow();
    return QTest::qWaitFor([&] { return balloon->isVisible(); }) ? balloon : nullptr;
}

const struct {
    const char* name;
    QWidget* (*show)(MainWindowFixture& fx);
} kLooks[] = {
    {"main", mainWindow<>},
    {"main-full-playlist", mainWindow<fullPlaylist>},
    {"main-displays-running", mainWindow<displaysRunning>},
    {"display-every-character", displayCharacters},
    {"settings", atStart<&MainWindowFixture::setup>},
    {"tips", firstTip},
    {"about", atStart<&MainWindowFixture::aboutBox>},
    {"splash", atStart<&MainWindowFixture::splash>},
    {"balloon-hint", balloonHint},
};

} // namespace

class TestLooks : public QObject {
    Q_OBJECT

private slots:
    void looksAsItsReference_data() {
        QTest::addColumn<int>("look");
        for (int i = 0; i < int(std::size(kLooks)); ++i)
            QTest::newRow(kLooks[i].name) << i;
    }

    void looksAsItsReference() {
        QFETCH(int, look);
        MainWindowFixture fx;
        QWidget* window = kLooks[look].show(fx);
        QVERIFY2(window, "the window did not come to the state pictured");
        const QImage actual = window->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QString name = QString::fromLatin1(kLooks[look].name);
        const QString reference = kReferences + '/' + name + ".png";
        if (qEnvironmentVariableIntValue("TB_UPDATE_REFERENCES")) {
            QVERIFY(actual.save(reference));
            QSKIP(qPrintable("rewritten, to be looked at: " + reference));
        }
        const QImage expected = QImage(reference).convertToFormat(QImage::Format_RGB32);
        if (actual == expected)
            return;
        // The pixels that differ, in red over the reference.
        QImage difference = expected.isNull() ? actual : expected;
        for (int y = 0; y < difference.height(); ++y)
            for (int x = 0; x < difference.width(); ++x)
                if (!actual.valid(x, y) || actual.pixel(x, y) != difference.pixel(x, y))
                    difference.setPixel(x, y, qRgb(255, 0, 0));
        const QString beside = QCoreApplication::applicationDirPath() + '/' + name;
        actual.save(beside + "-actual.png");
        expected.save(beside + "-expected.png");
        difference.save(beside + "-difference.png");
        QFAIL(qPrintable(name + " differs from " + reference + ": see " + beside +
                         "-actual.png, -expected.png and -difference.png"));
    }
};

int main(int argc, char* argv[]) {
    // No fonts nor rendering rules of the machine's: only these files, of the Debian packages
    // fonts-dejavu-core and fonts-liberation2, the faces that the program's fonts come to.
    qputenv("FONTCONFIG_FILE", QFile::encodeName(kReferences + "/fonts.conf"));
    qunsetenv("QT_QPA_PLATFORMTHEME"); // nor the desktop's icons and colours
    QApplication app(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    for (const char* file :
         {"dejavu/DejaVuSans.ttf", "liberation2/LiberationSans-Regular.ttf",
          "liberation2/LiberationSans-Bold.ttf", "liberation2/LiberationSerif-Bold.ttf"})
        if (QFontDatabase::addApplicationFont(QString("/usr/share/fonts/truetype/") + file) < 0)
            qFatal("font file %s is missing", file);
    QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), 9));
    TestLooks test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_looks.moc"
