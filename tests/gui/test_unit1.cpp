#include "controls/AccessibleFactory.h"
#include "controls/Lcd99.h"
#include "controls/Progress.h"
#include "filetools/DirectoryListBox.h"
#include "filetools/FileListBox.h"
#include "platform/IoError.h"
#include "platform/Paths.h"
#include "playlist/PlaylistView.h"
#include "playlist/PlaylistViewAccessible.h"
#include "support/MainWindowFixture.h"
#include "support/QtTests.h"

#include <QAccessible>
#include <QAction>
#include <QContextMenuEvent>
#include <QMenu>
#include <QPushButton>
#include <cerrno>

using tb::Dialogs;
using tb::test::MainWindowFixture;

namespace {

// Every widget of the window that a reader lands on and would announce without a name;
// scroll bars and Qt's inner panes name nothing.
QStringList unnamedControls(QWidget* window) {
    using enum QAccessible::Role;
    const QList named{Button,     CheckBox,    RadioButton, ComboBox, List, EditableText,
                      StaticText, ProgressBar, Graphic,     Link,     Pane, Grouping};
    QStringList unnamed;
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(widget);
        if (iface && named.contains(iface->role()) && iface->text(QAccessible::Name).isEmpty())
            unnamed.append(widget->metaObject()->className());
    }
    return unnamed;
}

} // namespace

class TestUnit1 : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        installAccessibleFactory();
        installPlaylistAccessibleFactory();
    }

    void firstRunDefaultsErrorBoxAndHelp() {
        MainWindowFixture fx;
        TForm1& form = fx.show(); // the settings' first values: test_looks's "settings"
        QVERIFY(form.LCD991->isVisible() && form.Timer2->isActive());
        int red = 0, green = 0; // each end of the gauge is one of two colours by chance
        for (int tick = 0; tick < 1000; ++tick) {
            form.Timer2Timer();
            red += form.PG1->ToColor() == QColor(0xFF, 0, 0) ? 1 : 0;
            green += form.PG1->FromColor() == QColor(0, 0xFF, 0) ? 1 : 0;
        }
        QVERIFY(red > 400 && red < 600 && green > 400 && green < 600); // each half the time

        form.guarded([] { throw tb::IoError::fromErrno(ENOENT); });
        QCOMPARE(fx.dialogs.texts(), QStringList{"File not found."});
        QCOMPARE(fx.dialogs.shown.first().title, QStringLiteral("Trackbinder"));
        form.TransparentButton2Click(); // help: the page beside the program
        QCOMPARE(fx.launcher.documents, QStringList{tb::programDirectory() + "index.htm"});
    }

    void storedSettingsAndClose() {
        MainWindowFixture fx;
        const QString shown = tb::directoryText(dir_.path());
        fx.settingsStore.values = {{"LastDir", dir_.path()}, {"RgPlay", "/opt/my player/play"},
                                   {"CistTag", "ano"},       {"Blikatka", "NE"},
                                   {"AskRun", "NE"},         {"DelAfter", "jo"}};
        TForm1& form = fx.show();
        QCOMPARE(form.DirectoryListBox1->Directory(), shown);
        // The displays stay off: the LCD hidden, the gauge shown and still.
        QVERIFY(!form.LCD991->isVisible() && form.PG1->isVisible() && !form.Timer2->isActive());

        fx.dialogs.answers = {Dialogs::Answer::Yes};
        form.BitBtn2->click();
        QStringList written;
        for (const QString& name : fx.settingsStore.writeOrder)
            written << name + '=' + fx.settingsStore.values.value(name);
        QCOMPARE(written, (QStringList{"LastDir=" + shown, "RgPlay=/opt/my player/play",
                                       "CistTag=NE", "AskRun=NE", "DelAfter=NE", "Blikatka=NE"}));
    }

    void timerEnablesCommands() {
        MainWindowFixture fx;
        TForm1& form = fx.create();
        // Three groups: files listed, entries in the playlist, a current file.
        const QList<QObject*> commands{form.Button1,  form.Button7,   form.Pridat1,  form.Prehraj1,
                                       form.Vyberve1, form.Button3,   form.Button2,  form.Button4,
                                       form.BitBtn1,  form.PrejmenBt, form.SmazatBt, form.Prejmen,
                                       form.Smazat1};
        const auto enabled = [&] {
            QString out;
            for (QObject* command : commands)
                out += command->property("enabled").toBool() ? '+' : '-';
            return out;
        };
        QCOMPARE(enabled(), QStringLiteral("++++++++---++")); // as built: the file buttons off
        fx.showIn(dir_.filePath("enable"), {});
        form.Timer1Timer();
        QCOMPARE(enabled(), QStringLiteral("-------------"));
        tb::test::makeFiles(dir_.filePath("enable"), {"a.mp3"});
        form.FileListBox1->Update();
        QTRY_VERIFY(form.Button1->isEnabled()); // the timer notices the new file
        QCOMPARE(enabled(), QStringLiteral("+++++--------"));
        form.Button7->click(); // select all sets the current file
        form.Button1->click();
        form.Timer1Timer();
        QCOMPARE(enabled(), QStringLiteral("+++++++++++++"));
    }

    void aboutBoxOnlyWhenTheRunEnds() {
        for (Dialogs::Answer answer : {Dialogs::Answer::Yes, Dialogs::Answer::Closed}) {
            MainWindowFixture fx;
            TForm1& form = fx.show();
            fx.dialogs.answers = {Dialogs::Answer::No, answer}; // also the box's own close button
            // The About box comes before the settings are written.
            fx.dialogs.onModal = [&](QDialog&) {
                QVERIFY(fx.settingsStore.writeOrder.isEmpty());
            };
            form.BitBtn2->click(); // No: the window stays, no About box
            QCOMPARE(fx.dialogs.texts(), QStringList{"Opravdu chcete ukončit Trackbinder ?"});
            QVERIFY(form.isVisible() &&
                    fx.dialogs.shown.first().kind == Dialogs::Kind::Confirmation);
            QCOMPARE(fx.dialogs.modalWindows, QStringList{"Víte že ..."});
            form.BitBtn2->click();
            QVERIFY(!form.isVisible());
            QCOMPARE(fx.dialogs.modalWindows, (QStringList{"Víte že ...", "O programu"}));
        }
    }

    void rightClickKeepsTheSelection() {
        MainWindowFixture fx;
        TForm1& form = fx.showIn(dir_.filePath("right"), {"a.mp3", "b.mp3", "c.mp3", "d.mp3"});
        fx.settings.cistTag = false;
        // Pressed and released as the user does; the platform then asks for the menu.
        const auto rightClick = [](QWidget* viewport, const QPoint& at) {
            QTest::mousePress(viewport, Qt::RightButton, {}, at);
            QTest::mouseRelease(viewport, Qt::RightButton, {}, at);
            QContextMenuEvent menu(QContextMenuEvent::Mouse, at, viewport->mapToGlobal(at));
            QApplication::sendEvent(viewport, &menu);
        };

        TFileListBox* files = form.FileListBox1;
        fx.clickFile(0);
        fx.clickFile(1, Qt::ControlModifier);
        const QByteArray current = form.currentFilePath();
        rightClick(files->viewport(), files->visualRect(files->model()->index(3, 0)).center());
        QCOMPARE(files->selectedNames(), (QStringList{"a.mp3", "b.mp3"}));
        QCOMPARE(form.currentFilePath(), current);
        QVERIFY(form.Pop1->isVisible());
        form.Pop1->hide();

        form.playlist()->appendAll({"a", "b", "c", "d"});
        form.ListBox1->setSelected(0, true);
        form.ListBox1->setSelected(2, true);
        rightClick(form.ListBox1->viewport(), form.ListBox1->visualRect(3).center());
        QCOMPARE(form.ListBox1->selectionFlags(), (std::vector<bool>{true, false, true, false}));
        QVERIFY(form.POP2->isVisible());
        form.POP2->hide();
    }

    void everyWindowNamesItsControls() {
        tb::test::MainWindowFixture fx;
        TForm1& form = fx.show();
        for (QWidget* window : std::initializer_list<QWidget*>{&form, fx.setup.get(), fx.tips.get(),
                                                               fx.aboutBox.get()}) {
            const QStringList unnamed = unnamedControls(window);
            QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(", ")));
        }
    }

    void keysClickTheButtonsWithoutFocus() {
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

private:
    QTemporaryDir dir_;
};

QTEST_MAIN(TestUnit1)
#include "test_unit1.moc"
