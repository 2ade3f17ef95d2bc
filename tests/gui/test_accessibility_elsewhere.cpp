// What screen readers see of the windows: every control named, the file list read as a
// list, and the keys that reach the buttons which take no focus.
#include "controls/AccessibleFactory.h"
#include "controls/Digits.h"
#include "controls/TransBtn.h"
#include "filetools/DirectoryListBox.h"
#include "filetools/DriveBox.h"
#include "filetools/FileListBox.h"
#include "playlist/PlaylistView.h"
#include "playlist/PlaylistViewAccessible.h"
#include "support/MainWindowFixture.h"

#include <QAccessible>
#include <QtTest>

namespace {

QAccessibleInterface* readerView(QObject* object) {
    return QAccessible::queryAccessibleInterface(object);
}

QString nameOf(QObject* object) {
    return readerView(object)->text(QAccessible::Name);
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

} // namespace

class TestAccessibilityElsewhere : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        installAccessibleFactory();
        installPlaylistAccessibleFactory();
    }

    void fileListReadsAsAList() {
        TFileListBox files;
        QCOMPARE(readerView(&files)->role(), QAccessible::List);
    }

    void everyWindowNamesItsControls();
    void keysClickTheButtonsWithoutFocus();
};

void TestAccessibilityElsewhere::everyWindowNamesItsControls() {
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

void TestAccessibilityElsewhere::keysClickTheButtonsWithoutFocus() {
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

QTEST_MAIN(TestAccessibilityElsewhere)
#include "test_accessibility_elsewhere.moc"
