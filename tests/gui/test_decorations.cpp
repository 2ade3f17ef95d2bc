#include "controls/KPanel.h"
#include "controls/TransBtn.h"
#include "controls/URLLabel.h"
#include "controls/X2000RC.h"
#include "support/MainWindowFixture.h"

#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <cmath>

using tb::test::FakeLauncher;
using tb::test::MainWindowFixture;

namespace {

const QColor kKey(0, 255, 0);
const QColor kInk(200, 0, 0); // gray 22

// A two-cell strip of 16 x 16 cells: a key-coloured border around a red square in cell 0
// and a blue one in cell 1.
QPixmap twoCellStrip() {
    QImage strip(32, 16, QImage::Format_RGB32);
    strip.fill(kKey);
    QPainter painter(&strip);
    painter.fillRect(4, 4, 8, 8, kInk);
    painter.fillRect(20, 4, 8, 8, Qt::blue);
    return QPixmap::fromImage(strip);
}

// A black window holding a 40 x 40 button at its top-left corner.
struct Host {
    Host() {
        window.resize(120, 120);
        QPalette pal = window.palette();
        pal.setColor(QPalette::Window, Qt::black);
        window.setPalette(pal);
        window.setAutoFillBackground(true);
        button = new TTransparentButton(&window);
        button->move(0, 0);
    }
    // What the user sees at a point of the button: the window's pixels there.
    QColor seen(int x, int y) {
        return window.grab(QRect(0, 0, 40, 40)).toImage().pixelColor(x, y);
    }

    QWidget window;
    TTransparentButton* button;
};

void mouse(QWidget* widget, QEvent::Type type, QPoint at, Qt::MouseButton button = Qt::LeftButton) {
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : button;
    QMouseEvent event(type, QPointF(at), widget->mapToGlobal(QPointF(at)),
                      type == QEvent::MouseMove ? Qt::NoButton : button, held, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

void enter(QWidget* widget) {
    QEnterEvent event(QPointF(1, 1), QPointF(1, 1), widget->mapToGlobal(QPointF(1, 1)));
    QApplication::sendEvent(widget, &event);
}

void leave(QWidget* widget) {
    QEvent event(QEvent::Leave);
    QApplication::sendEvent(widget, &event);
}

// A colour of the widget's palette as a plain RGB colour, comparable with grabbed pixels.
QColor roleColor(const QWidget& widget, QPalette::ColorRole role) {
    return QColor(widget.palette().color(role).rgb());
}

bool typeInto(QWidget* widget, Qt::Key key, const QString& text) {
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(widget, &event);
    return event.isAccepted();
}

QColor row(QWidget& widget, int y, int x = 20) {
    return widget.grab().toImage().pixelColor(x, y);
}

} // namespace

class TestDecorations : public QObject {
    Q_OBJECT

private slots:
    void glyphStripSetsItsCellCount();
    void explorerStyleRestsGrayAndEmbossesWhenDisabled();
    void pressDragAndReleaseOutsideClicksNothing();
    void downHoldsThroughRelease();
    void popupMenuOpensUnderTheButton();
    void acceleratorAnswersInEitherCase();
    void verticalPanelRedToBlack();
    void verticalCenterOnTenRows();
    void sixLoweredRingsAndCaptionInside();
    void urlLabelOpensOnReleaseOverIt();
    void captionRemoverRoundTrip();
    void mainWindowButtons();
};

void TestDecorations::glyphStripSetsItsCellCount() {
    TTransparentButton button;
    QCOMPARE(button.size(), QSize(40, 40));
    button.setGlyph(QPixmap(32, 16));
    QCOMPARE(button.NumGlyphs(), 2);
    button.setNumGlyphs(1);
    button.setGlyph(QPixmap(30, 78)); // not a multiple of its height: the count stays
    QCOMPARE(button.NumGlyphs(), 1);
    button.setGlyph(QPixmap(100, 20)); // five would be too many
    QCOMPARE(button.NumGlyphs(), 1);
}

void TestDecorations::explorerStyleRestsGrayAndEmbossesWhenDisabled() {
    Host host;
    TTransparentButton& button = *host.button;
    button.setGlyph(twoCellStrip());
    QCOMPARE(button.FrameStyle(), fsExplorer);
    // The glyph stands at (12, 12); its key-coloured border lets the black window through.
    QCOMPARE(host.seen(20, 20), QColor(22, 22, 22));
    QCOMPARE(host.seen(13, 13), QColor(Qt::black));
    QCOMPARE(button.grayImage().pixelColor(0, 0).alpha(), 0);

    enter(&button); // colour and a raised frame under the pointer
    QCOMPARE(host.seen(20, 20), kInk);
    QCOMPARE(host.seen(0, 0), roleColor(button, QPalette::Light));
    QCOMPARE(host.seen(39, 39), roleColor(button, QPalette::Dark));
    leave(&button);

    // Disabled, the explorer style still shows the gray image, not cell 1.
    button.setEnabled(false);
    QCOMPARE(host.seen(20, 20), QColor(22, 22, 22));
    // One cell without AutoGray: the embossed image, ink in shadow, face see-through.
    button.setAutoGray(false);
    button.setGlyph(twoCellStrip().copy(0, 0, 16, 16));
    QCOMPARE(button.NumGlyphs(), 1);
    QCOMPARE(host.seen(20, 20), roleColor(button, QPalette::Dark));
    QCOMPARE(host.seen(24, 24), roleColor(button, QPalette::Light)); // below-right of ink
    QCOMPARE(host.seen(13, 13), QColor(Qt::black));

    // Not transparent: the face fills the button and the glyph's see-through pixels.
    button.setTransparent(false);
    QCOMPARE(host.seen(13, 13), roleColor(button, QPalette::Button));
    QCOMPARE(host.seen(2, 2), roleColor(button, QPalette::Button));
}

void TestDecorations::pressDragAndReleaseOutsideClicksNothing() {
    TTransparentButton button;
    QSignalSpy clicks(&button, &TTransparentButton::OnClick);
    QSignalSpy ups(&button, &TTransparentButton::OnMouseUp);
    mouse(&button, QEvent::MouseButtonPress, {10, 10});
    QVERIFY(button.pressedLook());
    mouse(&button, QEvent::MouseMove, {40, 10}); // x = width is outside
    QVERIFY(!button.pressedLook());
    mouse(&button, QEvent::MouseMove, {39, 39});
    QVERIFY(button.pressedLook());
    mouse(&button, QEvent::MouseMove, {-1, 5});
    mouse(&button, QEvent::MouseButtonRelease, {-1, 5});
    QCOMPARE(clicks.count(), 0);
    QCOMPARE(ups.count(), 1);
    QVERIFY(!button.pressedLook());

    mouse(&button, QEvent::MouseButtonPress, {10, 10});
    mouse(&button, QEvent::MouseButtonRelease, {10, 10});
    QCOMPARE(clicks.count(), 1);
    // Movable: the button follows the pointer while held.
    button.setMovable(true);
    mouse(&button, QEvent::MouseButtonPress, {10, 10});
    mouse(&button, QEvent::MouseMove, {15, 13});
    QCOMPARE(button.pos(), QPoint(5, 3));
    mouse(&button, QEvent::MouseButtonRelease, {10, 10});
    QCOMPARE(clicks.count(), 2);
    button.setMovable(false);
    // A right click is no click; a press while disabled does nothing.
    mouse(&button, QEvent::MouseButtonPress, {10, 10}, Qt::RightButton);
    mouse(&button, QEvent::MouseButtonRelease, {10, 10}, Qt::RightButton);
    QCOMPARE(clicks.count(), 2);
    button.setEnabled(false);
    mouse(&button, QEvent::MouseButtonPress, {10, 10});
    QVERIFY(!button.pressedLook());
}

void TestDecorations::downHoldsThroughRelease() {
    TTransparentButton button;
    button.setDown(true);
    QVERIFY(button.pressedLook());
    QSignalSpy ups(&button, &TTransparentButton::OnMouseUp);
    mouse(&button, QEvent::MouseButtonPress, {10, 10});
    mouse(&button, QEvent::MouseMove, {60, 10});
    QVERIFY(!button.pressedLook());
    mouse(&button, QEvent::MouseButtonRelease, {60, 10});
    QCOMPARE(ups.count(), 0);
    QVERIFY(!button.pressedLook()); // looks up until the pointer comes back
    mouse(&button, QEvent::MouseMove, {10, 10});
    QVERIFY(button.pressedLook());
}

void TestDecorations::popupMenuOpensUnderTheButton() {
    Host host;
    TTransparentButton& button = *host.button;
    button.move(10, 20);
    host.window.move(100, 100);
    host.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&host.window));
    QMenu menu;
    menu.addAction(QStringLiteral("Jedna"));
    button.setPopUpMenu(&menu);
    QSignalSpy clicks(&button, &TTransparentButton::OnClick);
    QSignalSpy ups(&button, &TTransparentButton::OnMouseUp);

    bool seenOpen = false, pressedWhileOpen = false;
    QPoint menuAt;
    QTimer::singleShot(0, &menu, [&] {
        seenOpen = menu.isVisible();
        pressedWhileOpen = button.pressedLook();
        menuAt = menu.pos();
        menu.close();
    });
    mouse(&button, QEvent::MouseButtonPress, {5, 5}, Qt::RightButton);
    QVERIFY(seenOpen);
    QVERIFY(pressedWhileOpen);
    QCOMPARE(menuAt, button.mapToGlobal(QPoint(0, button.height())));
    QVERIFY(!button.pressedLook());
    QCOMPARE(ups.count(), 1);
    // The release that follows belongs to the closed menu: no click, nothing more.
    mouse(&button, QEvent::MouseButtonRelease, {5, 5}, Qt::RightButton);
    QCOMPARE(ups.count(), 1);
    QCOMPARE(clicks.count(), 0);

    QTimer::singleShot(0, &menu, [&] { menu.close(); });
    mouse(&button, QEvent::MouseButtonPress, {5, 5});
    mouse(&button, QEvent::MouseButtonRelease, {5, 5});
    QCOMPARE(clicks.count(), 0);
}

void TestDecorations::acceleratorAnswersInEitherCase() {
    QWidget window;
    auto* button = new TTransparentButton(&window);
    auto* plain = new QWidget(&window); // lets keys go on to the window
    auto* edit = new QLineEdit(&window);
    button->setCaption(QStringLiteral("&Otevřít"));
    QSignalSpy clicks(button, &TTransparentButton::OnClick);

    QVERIFY(typeInto(plain, Qt::Key_O, QStringLiteral("o")));
    QVERIFY(typeInto(&window, Qt::Key_O, QStringLiteral("O")));
    QCOMPARE(clicks.count(), 2);
    QVERIFY(!typeInto(&window, Qt::Key_T, QStringLiteral("t")));
    typeInto(edit, Qt::Key_O, QStringLiteral("o")); // the edit field keeps its letters
    QCOMPARE(clicks.count(), 2);
    button->setEnabled(false);
    QVERIFY(!typeInto(&window, Qt::Key_O, QStringLiteral("o")));
    button->setEnabled(true);
    button->setCaption(QStringLiteral("Konec&"));
    QVERIFY(!typeInto(&window, Qt::Key_O, QStringLiteral("o")));
    QCOMPARE(clicks.count(), 2);

    // The letter is underlined and the ampersand not drawn: "&O" looks like "O" plus a line.
    TTransparentButton marked, bare;
    marked.setCaption(QStringLiteral("&O"));
    bare.setCaption(QStringLiteral("O"));
    const QImage a = marked.grab().toImage(), b = bare.grab().toImage();
    QSet<int> differingRows;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                differingRows.insert(y);
    QVERIFY(!differingRows.isEmpty());
    QVERIFY(differingRows.size() <= 2);
}

void TestDecorations::verticalPanelRedToBlack() {
    TKPanel panel;
    panel.resize(395, 195);
    panel.setBeginColor(Qt::red);
    panel.setEndColor(Qt::black);
    panel.setBevelOuter(bvNone);
    QCOMPARE(panel.GradientStyle(), gsVertical);
    const QImage image = panel.grab().toImage();
    // Stripe i covers rows from i * 195 / 256 (rounded) on and has red 255 - i.
    int stripe = 0;
    for (int y = 0; y < 195; ++y) {
        while (stripe < 255 && std::lround((stripe + 1) * 195.0 / 256.0) <= y)
            ++stripe;
        QCOMPARE(image.pixelColor(200, y), QColor(255 - stripe, 0, 0));
    }
    QCOMPARE(image.pixelColor(0, 0), QColor(255, 0, 0));
    QCOMPARE(image.pixelColor(394, 194), QColor(0, 0, 0));
}

void TestDecorations::verticalCenterOnTenRows() {
    TKPanel panel;
    panel.resize(30, 10);
    panel.setBevelOuter(bvNone);
    panel.setGradientStyle(gsVerticalCenter);
    panel.setBeginColor(QColor(0, 0, 0));
    panel.setEndColor(QColor(250, 0, 0));
    QList<int> reds;
    for (int y = 0; y < 10; ++y)
        reds.append(row(panel, y, 15).red());
    QCOMPARE(reds, (QList<int>{0, 50, 100, 150, 200, 250, 200, 150, 100, 50}));
}

void TestDecorations::sixLoweredRingsAndCaptionInside() {
    TKPanel panel;
    panel.resize(80, 40);
    panel.setBeginColor(Qt::black);
    panel.setEndColor(Qt::black);
    QPalette pal = panel.palette();
    pal.setColor(QPalette::WindowText, Qt::white);
    pal.setColor(QPalette::Light, QColor(1, 2, 3));
    pal.setColor(QPalette::Dark, QColor(4, 5, 6));
    panel.setPalette(pal);
    panel.setCaption(QStringLiteral("II"));
    panel.setAlignment(taLeftJustify);
    panel.setBevelOuter(bvNone);
    const auto firstInk = [&panel] {
        const QImage image = panel.grab().toImage();
        for (int x = 0; x < image.width(); ++x)
            for (int y = 0; y < image.height(); ++y)
                if (image.pixelColor(x, y).red() > 128)
                    return x;
        return -1;
    };
    const int bare = firstInk();
    QVERIFY(bare >= 0);

    panel.setBevelInner(bvLowered);
    panel.setBevelOuter(bvLowered);
    panel.setBevelWidth(3);
    QCOMPARE(firstInk(), bare + 6);
    const QImage image = panel.grab().toImage();
    for (int s = 0; s < 6; ++s) {
        QCOMPARE(image.pixelColor(s, 20), QColor(4, 5, 6));      // left: shadow
        QCOMPARE(image.pixelColor(40, s), QColor(4, 5, 6));      // top: shadow
        QCOMPARE(image.pixelColor(79 - s, 20), QColor(1, 2, 3)); // right: highlight
        QCOMPARE(image.pixelColor(40, 39 - s), QColor(1, 2, 3)); // bottom: highlight
    }
    QCOMPARE(image.pixelColor(6, 20), QColor(Qt::black));
}

void TestDecorations::urlLabelOpensOnReleaseOverIt() {
    FakeLauncher launcher;
    TURLLabel label;
    label.setLauncher(&launcher);
    label.resize(80, 13);
    QCOMPARE(label.text(), QStringLiteral("Click me!"));
    QCOMPARE(label.textColor(), QColor(Qt::blue));
    QVERIFY(label.font().underline());
    label.setURL(QStringLiteral("mailto:autor@example.cz"));
    label.setColorMoveOver(Qt::green);
    label.setColorClick(Qt::red);

    mouse(&label, QEvent::MouseButtonPress, {5, 5});
    QCOMPARE(label.textColor(), QColor(Qt::red));
    mouse(&label, QEvent::MouseButtonRelease, {80, 5}); // one past the right edge still counts
    QCOMPARE(launcher.urls, QStringList{QStringLiteral("mailto:autor@example.cz")});
    QCOMPARE(label.textColor(), QColor(Qt::green));

    mouse(&label, QEvent::MouseButtonPress, {5, 5});
    leave(&label);
    QCOMPARE(label.textColor(), QColor(Qt::blue));
    enter(&label);
    QCOMPARE(label.textColor(), QColor(Qt::red));
    leave(&label);
    mouse(&label, QEvent::MouseButtonRelease, {81, 5});
    QCOMPARE(launcher.urls.size(), 1);
    QCOMPARE(label.textColor(), QColor(Qt::blue));

    label.setURL(QString());
    label.setCaption(QStringLiteral("www.example.org"));
    mouse(&label, QEvent::MouseButtonPress, {5, 5});
    mouse(&label, QEvent::MouseButtonRelease, {5, 13});
    QCOMPARE(launcher.urls.last(), QStringLiteral("www.example.org"));
}

void TestDecorations::captionRemoverRoundTrip() {
    QWidget window;
    window.resize(200, 100);
    auto* remover = new TRemoveCaption2000X(&window);
    QVERIFY(!remover->Enabled());
    remover->Add(); // nothing removed: the window stays as it is
    QVERIFY(!window.windowFlags().testFlag(Qt::FramelessWindowHint));
    QCOMPARE(window.size(), QSize(200, 100));

    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const int outer = window.frameGeometry().height();
    remover->setEnabled(true);
    QVERIFY(window.windowFlags().testFlag(Qt::FramelessWindowHint));
    QVERIFY(window.isVisible());
    QCOMPARE(window.size(), QSize(200, 100));
    remover->setEnabled(false);
    QVERIFY(!window.windowFlags().testFlag(Qt::FramelessWindowHint));
    QVERIFY(window.isVisible());
    QCOMPARE(window.width(), 200);
    QCOMPARE(window.frameGeometry().height(), outer);

    // Taken off and left so when the remover goes away with its window.
    remover->setEnabled(true);
    delete remover;
    QVERIFY(window.windowFlags().testFlag(Qt::FramelessWindowHint));
}

void TestDecorations::mainWindowButtons() {
    MainWindowFixture fx;
    TForm1& form = fx.create();
    TTransparentButton* settings = form.TransparentButton1;
    QCOMPARE(settings->Glyph().size(), QSize(35, 83));
    QCOMPARE(settings->NumGlyphs(), 1);
    QVERIFY(!settings->Transparent());
    QCOMPARE(settings->parentWidget(), form.Panel1);
    QCOMPARE(form.TransparentButton2->Glyph().size(), QSize(40, 40));
    // At rest the settings glyph is gray, on the button face.
    const QImage rest = settings->grab().toImage();
    const QColor hub = rest.pixelColor(17, 7);
    QCOMPARE(hub.red(), hub.blue());
    QVERIFY(hub != roleColor(*settings, QPalette::Button));

    mouse(form.TransparentButton2, QEvent::MouseButtonPress, {20, 20});
    mouse(form.TransparentButton2, QEvent::MouseButtonRelease, {20, 20});
    QCOMPARE(fx.launcher.documents.size(), 1);
    QVERIFY(fx.launcher.documents.first().endsWith(QStringLiteral("index.htm")));
}

QTEST_MAIN(TestDecorations)
#include "test_decorations.moc"
