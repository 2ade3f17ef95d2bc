// What screen readers see: the self-drawn controls' interfaces, the names in every window,
// and the keys that reach the buttons which take no focus.
#include "controls/AccessibleFactory.h"
#include "controls/BalHint.h"
#include "controls/Digits.h"
#include "controls/DigitsAccessible.h"
#include "controls/KPanel.h"
#include "controls/Lcd99.h"
#include "controls/Progress.h"
#include "controls/TransBtn.h"
#include "controls/TransBtnAccessible.h"
#include "controls/URLLabel.h"
#include "filetools/DirectoryListBox.h"
#include "filetools/DriveBox.h"
#include "filetools/FileListBox.h"
#include "playlist/PlaylistModel.h"
#include "playlist/PlaylistView.h"
#include "playlist/PlaylistViewAccessible.h"
#include "support/MainWindowFixture.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QAccessibleValueInterface>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

namespace {

QAccessibleInterface* readerView(QObject* object) {
    return QAccessible::queryAccessibleInterface(object);
}

QString nameOf(QObject* object) {
    return readerView(object)->text(QAccessible::Name);
}

QStringList actionsOf(QObject* object) {
    return readerView(object)->actionInterface()->actionNames();
}

// The value-change notices sent while the handler is installed.
QList<QPair<QObject*, QVariant>> g_valueNotices;
void recordValueNotices(QAccessibleEvent* event) {
    if (event->type() == QAccessible::ValueChanged)
        g_valueNotices.append(
            {event->object(), static_cast<QAccessibleValueChangeEvent*>(event)->value()});
}

// The named things a reader lands on; scroll bars and Qt's inner panes name nothing.
bool needsName(QAccessible::Role role) {
    using enum QAccessible::Role;
    return QList{Button,     CheckBox,    RadioButton, ComboBox, List, EditableText,
                 StaticText, ProgressBar, Graphic,     Link,     Pane, Grouping}
        .contains(role);
}

// Every widget of the window that a reader would announce without a name, by class.
QStringList unnamedControls(QWidget* window) {
    QStringList unnamed;
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        QAccessibleInterface* iface = readerView(widget);
        if (iface && needsName(iface->role()) && iface->text(QAccessible::Name).isEmpty())
            unnamed.append(QString::fromLatin1(widget->metaObject()->className()) + "/" +
                           widget->objectName());
    }
    return unnamed;
}

// The playlist's notices, as (type, child) pairs.
QList<QPair<QAccessible::Event, int>> g_playlistNotices;
void recordPlaylistNotices(QAccessibleEvent* event) {
    g_playlistNotices.append({event->type(), event->child()});
}

} // namespace

class TestAccessibility : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        installAccessibleFactory();
        installPlaylistAccessibleFactory();
    }
    void cleanup() {
        setValueNoticeSink(nullptr);
        setPlaylistNoticeSink(nullptr);
    }

    void transparentButtonIsAPushButtonThatReadersPress();
    void digitCounterReadsItsShownValueAndAnnouncesEachChangeOnce();
    void displaysGaugeLinkPanelAndBalloon();
    void playlistReadsAsAListOfItsEntries();
    void playlistTellsOfCurrentEntryAndSelection();
    void everyWindowNamesItsControls();
    void keysClickTheButtonsWithoutFocus();
};

void TestAccessibility::transparentButtonIsAPushButtonThatReadersPress() {
    QWidget window;
    auto* button = new TTransparentButton(&window);
    QCOMPARE(readerView(button)->role(), QAccessible::Button);

    // Caption, else hint, else the name the window gives.
    button->setAccessibleName("Nápověda");
    QCOMPARE(nameOf(button), QStringLiteral("Nápověda"));
    button->setToolTip("Nastavení parametrů programu");
    QCOMPARE(nameOf(button), QStringLiteral("Nastavení parametrů programu"));
    button->setCaption("Tisk &Obal && víc");
    QCOMPARE(nameOf(button), QStringLiteral("Tisk Obal & víc"));
    QCOMPARE(withoutAccelerator("A&"), QStringLiteral("A"));
    QCOMPARE(readerView(button)->text(QAccessible::Accelerator), QStringLiteral("O"));
    button->setCaption("A && &Beta");
    QCOMPARE(readerView(button)->text(QAccessible::Accelerator), QStringLiteral("B"));

    // The press runs the click from the event loop, so that a modal window it opens does
    // not hold the reader's call; a disabled button offers and runs nothing.
    QSignalSpy clicks(button, &TTransparentButton::OnClick);
    QCOMPARE(actionsOf(button), QStringList{QAccessibleActionInterface::pressAction()});
    readerView(button)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QCOMPARE(clicks.count(), 0);
    QTRY_COMPARE(clicks.count(), 1);
    readerView(button)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    button->setEnabled(false); // before the queued click runs
    QTest::qWait(20);
    QCOMPARE(clicks.count(), 1);
    QVERIFY(actionsOf(button).isEmpty());
    QVERIFY(readerView(button)->state().disabled);

    button->setEnabled(true);
    QVERIFY(!readerView(button)->state().pressed);
    button->setDown(true);
    QVERIFY(readerView(button)->state().pressed);
    QVERIFY(!readerView(button)->state().focusable);
}

void TestAccessibility::digitCounterReadsItsShownValueAndAnnouncesEachChangeOnce() {
    QWidget window;
    auto* digits = new TDigits(&window);
    digits->setBmpDigits(QImage(QStringLiteral(":/digitstrip.bmp")));
    digits->setShowLeadingZeros(true);
    digits->setIncDecSpeed(5);
    digits->setToolTip("Počet položek PlayListu");
    window.show();
    QAccessibleInterface* iface = readerView(digits);
    QCOMPARE(iface->role(), QAccessible::StaticText);
    QCOMPARE(iface->text(QAccessible::Name), QStringLiteral("Počet položek PlayListu"));
    QAccessibleValueInterface* value = iface->valueInterface();
    QVERIFY(value);

    // What the cells show: no leading zeros read out, only the lowest digits that fit.
    digits->setValue(105);
    QCOMPARE(iface->text(QAccessible::Value), QStringLiteral("105"));
    QCOMPARE(value->currentValue().toInt(), 105);
    digits->setValue(1234567);
    QCOMPARE(iface->text(QAccessible::Value), QStringLiteral("234567"));

    // Three steps in one event are one notice with the value then shown; the roll's frames
    // and an unchanged value send none.
    g_valueNotices.clear();
    setValueNoticeSink(recordValueNotices);
    digits->setValue(0);
    digits->Increment();
    digits->Increment();
    digits->Increment();
    QTRY_COMPARE(g_valueNotices.size(), 1);
    QCOMPARE(g_valueNotices.first().first, digits);
    QCOMPARE(g_valueNotices.first().second.toInt(), 3);
    QTRY_COMPARE(digits->RollStep(), 0);
    QTest::qWait(30);
    digits->setValue(3);
    QTest::qWait(10);
    QCOMPARE(g_valueNotices.size(), 1);
    digits->Decrement();
    QTRY_COMPARE(g_valueNotices.size(), 2);
    QCOMPARE(g_valueNotices.last().second.toInt(), 2);

    // Time mode reads as a time, in twelve-hour form only with an AM/PM sign.
    digits->setMode(TDigitsMode::dmTime);
    digits->setDateTime((13 * 3600 + 5 * 60 + 7) / 86400.0);
    QCOMPARE(iface->text(QAccessible::Value), QStringLiteral("13:05:07"));
    digits->setBmpAMPMSign(QImage(28, 20, QImage::Format_RGB32));
    QCOMPARE(iface->text(QAccessible::Value), QStringLiteral("1:05:07 PM"));
}

void TestAccessibility::displaysGaugeLinkPanelAndBalloon() {
    QWidget window;
    auto* lcd = new TLCD99(&window);
    QCOMPARE(readerView(lcd)->role(), QAccessible::StaticText);
    lcd->setValue("12.5");
    QCOMPARE(readerView(lcd)->text(QAccessible::Value), QStringLiteral("12.5"));
    lcd->setDigitNum(10);
    lcd->setValue("QRQWDRQWEDQW"); // the cells show the first ten
    QCOMPARE(readerView(lcd)->text(QAccessible::Value), QStringLiteral("QRQWDRQWED"));
    QCOMPARE(nameOf(lcd), QStringLiteral("QRQWDRQWED"));
    lcd->setAccessibleName("Displej");
    QCOMPARE(nameOf(lcd), QStringLiteral("Displej"));

    auto* gauge = new TProgress(&window);
    QAccessibleInterface* bar = readerView(gauge);
    QCOMPARE(bar->role(), QAccessible::ProgressBar);
    gauge->setProgress(50);
    QCOMPARE(bar->valueInterface()->currentValue().toInt(), 50);
    QCOMPARE(bar->text(QAccessible::Value), QStringLiteral("50 %"));
    gauge->setProgress(-10); // an empty bar
    QCOMPARE(bar->valueInterface()->currentValue().toInt(), 0);
    QCOMPARE(bar->valueInterface()->maximumValue().toInt(), 100);
    gauge->setText("Hotovo");
    QCOMPARE(bar->text(QAccessible::Name), QStringLiteral("Hotovo"));

    tb::test::FakeLauncher launcher;
    auto* link = new TURLLabel(&window);
    link->setLauncher(&launcher);
    link->setText("brivola.example");
    link->setURL("https://brivola.example/trackbinder");
    QAccessibleInterface* linkView = readerView(link);
    QCOMPARE(linkView->role(), QAccessible::Link);
    QCOMPARE(linkView->text(QAccessible::Name), QStringLiteral("brivola.example"));
    QCOMPARE(linkView->text(QAccessible::Description),
             QStringLiteral("https://brivola.example/trackbinder"));
    QVERIFY(linkView->state().linked);
    linkView->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QTRY_COMPARE(launcher.urls, QStringList{"https://brivola.example/trackbinder"});

    auto* panel = new TKPanel(&window);
    QCOMPARE(readerView(panel)->role(), QAccessible::Pane);
    panel->setAccessibleName("Nastavení Trackbinder");
    QCOMPARE(nameOf(panel), QStringLiteral("Nastavení Trackbinder"));
    panel->setCaption("Nadpis");
    QCOMPARE(nameOf(panel), QStringLiteral("Nadpis"));

    TBaloonHint balloon;
    TBaloonHintWindow* hint = TBaloonHint::HintWindow();
    hint->ActivateHint(QRect(), QStringLiteral("Smaže obsah playlistu"));
    QCOMPARE(readerView(hint)->role(), QAccessible::ToolTip);
    QCOMPARE(nameOf(hint), QStringLiteral("Smaže obsah playlistu"));
    hint->hide();
}

void TestAccessibility::playlistReadsAsAListOfItsEntries() {
    PlaylistModel model;
    TPlaylistView view;
    view.setModel(&model);
    view.resize(200, 60);
    for (const char* entry : {"a.mp3", "Příliš.mp3", "c.mp3", "d.mp3", "e.mp3", "f.mp3"})
        model.append(entry);
    view.show();
    QAccessibleInterface* list = readerView(&view);
    QCOMPARE(list->role(), QAccessible::List);
    QVERIFY(list->state().multiSelectable);
    QCOMPARE(list->childCount(), 6);

    view.setSelected(1, true);
    view.setCurrentRow(2);
    QAccessibleInterface* second = list->child(1);
    QVERIFY(second);
    QCOMPARE(second->role(), QAccessible::ListItem);
    QCOMPARE(second->text(QAccessible::Name), QStringLiteral("Příliš.mp3"));
    QCOMPARE(second->parent(), list);
    QCOMPARE(list->indexOfChild(second), 1);
    QVERIFY(second->state().selectable);
    QVERIFY(second->state().selected);
    QVERIFY(!second->state().focused);
    QVERIFY(!list->child(2)->state().selected);
    QVERIFY(list->child(2)->state().focused);
    QCOMPARE(list->focusChild(), list->child(2));
    QVERIFY(list->child(5)->state().offscreen); // below the four rows shown
    QCOMPARE(list->childAt(view.viewport()->mapToGlobal(QPoint(5, 14)).x(),
                           view.viewport()->mapToGlobal(QPoint(5, 14)).y()),
             second);
    QVERIFY(!list->child(6));

    // One interface per row asked for, the same each time, gone with its row.
    QCOMPARE(list->child(1), second);
    const QAccessible::Id secondId = QAccessible::uniqueId(second);
    model.clear();
    QCOMPARE(list->childCount(), 0);
    QVERIFY(!list->child(0));
    QVERIFY(!QAccessible::accessibleInterface(secondId));
    model.append("g.mp3"); // its interface goes with the list's
    QCOMPARE(list->child(0)->text(QAccessible::Name), QStringLiteral("g.mp3"));

    // The file list reads the same way.
    TFileListBox files;
    QCOMPARE(readerView(&files)->role(), QAccessible::List);
}

void TestAccessibility::playlistTellsOfCurrentEntryAndSelection() {
    PlaylistModel model;
    TPlaylistView view;
    view.setModel(&model);
    for (const char* entry : {"a.mp3", "b.mp3", "c.mp3"})
        model.append(entry);
    view.show();
    view.setFocus();
    QVERIFY(QTest::qWaitFor([&] { return view.hasFocus(); }));

    using enum QAccessible::Event;
    g_playlistNotices.clear();
    setPlaylistNoticeSink(recordPlaylistNotices);
    view.setCurrentRow(1);
    view.setSelected(2, true);
    view.setSelected(2, true); // unchanged: no notice
    view.setSelected(2, false);
    view.selectAll();
    QTest::keyClick(&view, Qt::Key_Home); // one entry selected, the others not, and current
    QCOMPARE(g_playlistNotices, (QList<QPair<QAccessible::Event, int>>{{Focus, 1},
                                                                       {SelectionAdd, 2},
                                                                       {SelectionRemove, 2},
                                                                       {SelectionWithin, -1},
                                                                       {Selection, 0},
                                                                       {Focus, 0}}));

    // Without the focus the current entry is not announced.
    view.clearFocus();
    g_playlistNotices.clear();
    view.setCurrentRow(2);
    QVERIFY(g_playlistNotices.isEmpty());
}

void TestAccessibility::everyWindowNamesItsControls() {
    tb::test::MainWindowFixture fx;
    TForm1& form = fx.show();
    for (QWidget* window :
         std::initializer_list<QWidget*>{&form, fx.setup.get(), fx.tips.get(), fx.aboutBox.get()}) {
        const QStringList unnamed = unnamedControls(window);
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(", ")));
    }

    // The buttons that were fillers, and the lists that had no name.
    for (const auto& [control, role, name] :
         std::initializer_list<std::tuple<QWidget*, QAccessible::Role, QString>>{
             {form.TransparentButton2, QAccessible::Button, "Nápověda"},
             {form.TransparentButton1, QAccessible::Button, "Nastavení parametrů programu"},
             {form.DirectoryListBox1, QAccessible::List, "Adresáře"},
             {form.FileListBox1, QAccessible::List, "Soubory"},
             {fx.tips->TransparentButton3, QAccessible::Button, "OK"}})
        QCOMPARE(qMakePair(readerView(control)->role(), nameOf(control)), qMakePair(role, name));
    QCOMPARE(nameOf(form.ListBox1), QStringLiteral("Playlist"));
    QCOMPARE(readerView(form.Disk)->text(QAccessible::Description), QStringLiteral("Disk"));

    // The counter follows the playlist.
    form.Pridat("song.mp3");
    QCOMPARE(readerView(form.Digits1)->text(QAccessible::Value), QStringLiteral("1"));
}

void TestAccessibility::keysClickTheButtonsWithoutFocus() {
    tb::test::MainWindowFixture fx;
    TForm1& form = fx.show();
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    fx.dialogs.modalWindows.clear();

    QTest::keyClick(&form, Qt::Key_F1);
    QCOMPARE(fx.launcher.documents.size(), 1);
    QTest::keyClick(&form, Qt::Key_F9);
    QTest::keyClick(&form, Qt::Key_Comma, Qt::ControlModifier);
    QCOMPARE(fx.dialogs.modalWindows,
             (QStringList{"Nastavení Trackbinder", "Nastavení Trackbinder"}));

    // Save and open only while their buttons are enabled: an empty playlist saves nothing.
    form.Timer1Timer();
    QTest::keyClick(&form, Qt::Key_S, Qt::ControlModifier);
    QVERIFY(fx.dialogs.fileRequests.isEmpty());
    form.playlist()->append("a.mp3");
    form.Timer1Timer();
    fx.dialogs.fileNames = {std::nullopt, std::nullopt}; // both dialogs cancelled
    QTest::keyClick(&form, Qt::Key_S, Qt::ControlModifier);
    QTest::keyClick(&form, Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(fx.dialogs.fileRequests.size(), 2);
    QCOMPARE(fx.dialogs.fileRequests.at(0).title, QStringLiteral("Uložit PlayList"));
    QCOMPARE(fx.dialogs.fileRequests.at(1).title, QStringLiteral("Otevřit PlayList"));
}

QTEST_MAIN(TestAccessibility)
#include "test_accessibility.moc"
