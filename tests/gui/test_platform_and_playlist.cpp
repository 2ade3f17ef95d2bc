#include "platform/Dialogs.h"
#include "platform/Launcher.h"
#include "platform/SettingsStore.h"
#include "platform/Volumes.h"
#include "playlist/PlaylistModel.h"
#include "playlist/PlaylistView.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <sys/mount.h>

class TestPlatformAndPlaylist : public QObject {
    Q_OBJECT

private slots:
    void settingsStoreRoundTripsInTheUsersConfigFolder();
    void commandLinesAndVolumes();
    void aVolumeNoLongerMountedIsNotReady();
    void realBoxesShowPlainTextAndEscapeAnswersNo();
    void entriesDecodeForDisplayOnly();
    void viewSelectsLikeAListBox();
};

void TestPlatformAndPlaylist::settingsStoreRoundTripsInTheUsersConfigFolder() {
    // Never the user's own settings, also outside ctest: a scratch folder before the first store.
    QTemporaryDir configHome;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(configHome.path()));
    tb::QtSettingsStore store;
    QVERIFY(!store.read("NoSuchValue").has_value());
    store.write("RgPlay", QStringLiteral("/opt/přehrávač/play"));
    store.write("Empty", QString());
    tb::QtSettingsStore again;
    QCOMPARE(again.read("RgPlay"), std::optional<QString>(QStringLiteral("/opt/přehrávač/play")));
    QCOMPARE(again.read("Empty"), std::optional<QString>(QString()));
    QVERIFY(QFileInfo::exists(configHome.filePath("Brivola/Trackbinder.conf")));
}

void TestPlatformAndPlaylist::commandLinesAndVolumes() {
    // A player setting naming an existing file is the program as a whole, blanks and all.
    const auto split = [](const QString& line) {
        const tb::CommandLine parts = tb::splitCommandLine(
            line, [](const QString& path) { return path == "/opt/my player/play"; });
        return QStringList{parts.program} + parts.arguments;
    };
    QCOMPARE(split(R"(/opt/my player/play "/tmp/a b.m3u")"),
             (QStringList{"/opt/my player/play", "/tmp/a b.m3u"}));
    QCOMPARE(split("/opt/my player/play"), QStringList{"/opt/my player/play"});
    QCOMPARE(split(""), QStringList{QString()});
    // Whether the program started is known; nothing more is waited for.
    tb::SystemLauncher launcher;
    QVERIFY(!launcher.startCommand("/no/such/player", {"/tmp/list.m3u"}));
    QVERIFY(launcher.startCommand("true", {}));

    // Only the user's text is split: the playlist's path reaches the player whole, quotes
    // and all, after the player's own arguments.
    QTemporaryDir scratch;
    const QString player = scratch.filePath("my player"), record = scratch.filePath("argv");
    QFile script(player);
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$0.tmp\" && mv \"$0.tmp\" \"$(dirname "
                 "\"$0\")/argv\"\n");
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString playlist = scratch.filePath("a \"b\" c\\ d.m3u");
    QVERIFY(launcher.startCommand('"' + player + "\" --title \"x y\"", {playlist}));
    QTRY_VERIFY(QFileInfo::exists(record));
    QFile argv(record);
    QVERIFY(argv.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(argv.readAll()), "--title\nx y\n" + playlist + '\n');

    // Pseudo file systems and what lies under /run stay out of the drive box.
    QVERIFY(tb::isUserVolume("vfat", "/media/usb") && tb::isUserVolume("ext4", "/runner"));
    QVERIFY(!tb::isUserVolume("proc", "/proc") && !tb::isUserVolume("tmpfs", "/run/user/1000"));
}

void TestPlatformAndPlaylist::aVolumeNoLongerMountedIsNotReady() {
    QTemporaryDir folder;
    const QByteArray root = QFile::encodeName(folder.path());
    if (::mount("tmpfs", root.constData(), "tmpfs", 0, "size=64k") != 0)
        QSKIP("mounting needs root");
    tb::SystemVolumes volumes;
    const bool readyMounted = volumes.isReady(folder.path());
    ::umount2(root.constData(), MNT_DETACH);
    QVERIFY(readyMounted);
    // The folder stays behind, on the file system above it.
    QVERIFY(!volumes.isReady(folder.path()));
}

namespace {
// Acts on the next box that opens, from within its own event loop.
template <typename Box> void whenShown(std::function<void(Box*)> act) {
    QTimer::singleShot(0, [act] {
        auto* box = qobject_cast<Box*>(QApplication::activeModalWidget());
        QVERIFY(box && box->isVisible());
        act(box);
    });
}
} // namespace

void TestPlatformAndPlaylist::realBoxesShowPlainTextAndEscapeAnswersNo() {
    tb::QtDialogs dialogs;
    const QString name = "<b>a</b>.mp3";
    Qt::TextFormat format = Qt::RichText;
    whenShown<QMessageBox>([&](QMessageBox* box) {
        format = box->textFormat();
        QTest::keyClick(box, Qt::Key_Escape);
    });
    QCOMPARE(dialogs.confirm(nullptr, name), tb::Dialogs::Answer::No);
    QCOMPARE(format, Qt::PlainText);
    // The window's own close button is no answer; the exit question tells them apart.
    whenShown<QMessageBox>([](QMessageBox* box) { box->close(); });
    QCOMPARE(dialogs.confirm(nullptr, name), tb::Dialogs::Answer::Closed);

    whenShown<QInputDialog>([&](QInputDialog* box) {
        format = box->findChild<QLabel*>()->textFormat();
        box->reject();
    });
    QCOMPARE(dialogs.inputText(nullptr, "Změna jména souboru", name, name, 255), std::nullopt);
    QCOMPARE(format, Qt::PlainText);
}

void TestPlatformAndPlaylist::entriesDecodeForDisplayOnly() {
    const std::string_view cp1250 = "Hudba/\x9elu\x9dou\xe8k\xfd.mp3"; // Windows-1250
    PlaylistModel model;
    model.append("Hudba/žluťoučký.mp3");
    model.append(cp1250);
    model.append(std::string_view("a\0b", 3));
    for (int row : {0, 1})
        QCOMPARE(model.data(model.index(row), Qt::DisplayRole).toString(),
                 QStringLiteral("Hudba/žluťoučký.mp3"));
    QCOMPARE(model.entry(1), cp1250);
    QCOMPARE(model.entry(2).size(), 3u);
    // A valid entry after an invalid one decodes as UTF-8 again.
    QCOMPARE(model.displayText("č"), QStringLiteral("č"));
    // A huge entry shows its beginning, cut between characters.
    std::string huge(1, 'a');
    huge += QString(5000, QChar(0x17E)).toStdString();
    QCOMPARE(model.displayText(huge), QStringLiteral("a") + QString(2047, QChar(0x17E)));
}

void TestPlatformAndPlaylist::viewSelectsLikeAListBox() {
    PlaylistModel model;
    for (const char* e : {"0", "1", "2", "3", "4", "5"})
        model.append(e);
    TPlaylistView view;
    view.setModel(&model);
    view.resize(200, 13 * 10 + 4);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    const auto click = [&](int row, Qt::KeyboardModifiers mods = {}) {
        QTest::mouseClick(view.viewport(), Qt::LeftButton, mods, view.visualRect(row).center());
    };
    using Flags = std::vector<bool>;
    click(1);
    click(3, Qt::ShiftModifier);
    click(5, Qt::ControlModifier);
    QCOMPARE(view.selectionFlags(), (Flags{0, 1, 1, 1, 0, 1}));
    click(1);
    click(4, Qt::ControlModifier); // moves the anchor
    click(5, Qt::ShiftModifier);
    QCOMPARE(view.selectionFlags(), (Flags{0, 0, 0, 0, 1, 1}));
    QTest::keyClick(&view, Qt::Key_Home);
    QCOMPARE(view.selectionFlags(), (Flags{1, 0, 0, 0, 0, 0}));
    QTest::keyClick(&view, Qt::Key_A, Qt::ControlModifier);

    // Appending keeps the selection; a rebuilt list has none.
    model.append("6");
    QCOMPARE(view.selectionFlags(), (Flags{1, 1, 1, 1, 1, 1, 0}));
    model.removeFlagged({true});
    QCOMPARE(view.selectedCount(), 0);
    QCOMPARE(view.currentRow(), -1);

    // A page is the rows the view shows whole: ten here.
    for (int i = 0; i < 30; ++i)
        model.append("x");
    QTest::keyClick(&view, Qt::Key_Home);
    QTest::keyClick(&view, Qt::Key_PageDown);
    QCOMPARE(view.currentRow(), 9);
}

QTEST_MAIN(TestPlatformAndPlaylist)
#include "test_platform_and_playlist.moc"
