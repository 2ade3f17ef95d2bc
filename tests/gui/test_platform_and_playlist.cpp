#include "platform/Launcher.h"
#include "platform/SettingsStore.h"
#include "platform/Volumes.h"
#include "playlist/PlaylistModel.h"
#include "playlist/PlaylistView.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

class TestPlatformAndPlaylist : public QObject {
    Q_OBJECT

public:
    // The store must never reach the user's own settings, also when the test runs
    // outside ctest: point the configuration folder at a scratch folder first.
    TestPlatformAndPlaylist() { qputenv("XDG_CONFIG_HOME", QFile::encodeName(configHome_.path())); }

private:
    QTemporaryDir configHome_;

private slots:
    void settingsStoreRoundTripsInTheUsersConfigFolder();
    void commandLinesSplitIntoProgramAndArguments();
    void pseudoFileSystemsStayOutOfTheDriveBox();
    void entriesDecodeForDisplayOnly();
    void viewSelectsLikeAListBox();
};

void TestPlatformAndPlaylist::settingsStoreRoundTripsInTheUsersConfigFolder() {
    tb::QtSettingsStore store;
    QVERIFY(!store.read("NoSuchValue").has_value());
    store.write("RgPlay", QStringLiteral("/opt/přehrávač/play"));
    store.write("Empty", QString());
    tb::QtSettingsStore again;
    QCOMPARE(again.read("RgPlay"), std::optional<QString>(QStringLiteral("/opt/přehrávač/play")));
    QCOMPARE(again.read("Empty"), std::optional<QString>(QString()));
#ifdef Q_OS_LINUX
    // ctest points XDG_CONFIG_HOME into the build tree, never at the user's own settings.
    const QString expected = qEnvironmentVariable("XDG_CONFIG_HOME") + "/Brivola/Trackbinder.conf";
    QVERIFY2(QFileInfo::exists(expected), qPrintable(expected));
#endif
}

void TestPlatformAndPlaylist::commandLinesSplitIntoProgramAndArguments() {
    const auto exists = [](const QString& path) {
        return path == "/opt/my player/play";
    };
    auto split = tb::splitCommandLine(R"(/opt/my player/play "/tmp/a b.m3u")", exists);
    QCOMPARE(split.program, QStringLiteral("/opt/my player/play"));
    QCOMPARE(split.arguments, QStringList{"/tmp/a b.m3u"});
    split = tb::splitCommandLine(R"(xdg-open "/tmp/list.m3u")", exists);
    QCOMPARE(split.program, QStringLiteral("xdg-open"));
    QCOMPARE(split.arguments, QStringList{"/tmp/list.m3u"});
    split = tb::splitCommandLine("/opt/my player/play", exists);
    QCOMPARE(split.program, QStringLiteral("/opt/my player/play"));
    QVERIFY(split.arguments.isEmpty());
    QVERIFY(tb::splitCommandLine("", exists).program.isEmpty());
}

void TestPlatformAndPlaylist::pseudoFileSystemsStayOutOfTheDriveBox() {
    QVERIFY(tb::isUserVolume("ext4", "/"));
    QVERIFY(tb::isUserVolume("vfat", "/media/usb"));
    QVERIFY(!tb::isUserVolume("proc", "/proc"));
    QVERIFY(!tb::isUserVolume("cgroup2", "/sys/fs/cgroup"));
    QVERIFY(!tb::isUserVolume("tmpfs", "/run/user/1000"));
    QVERIFY(!tb::isUserVolume("ext4", "/run/media-not-really")); // under /run
    QVERIFY(tb::isUserVolume("ext4", "/runner"));
}

void TestPlatformAndPlaylist::entriesDecodeForDisplayOnly() {
    PlaylistModel model;
    model.append("Hudba/žluťoučký.mp3"); // UTF-8
    model.append("Hudba/\x9e"
                 "lu\x9d"
                 "ou\xe8"
                 "k\xfd.mp3"); // the same in Windows-1250
    model.append(std::string_view("a\0b", 3));
    QCOMPARE(model.data(model.index(0), Qt::DisplayRole).toString(),
             QStringLiteral("Hudba/žluťoučký.mp3"));
    QCOMPARE(model.data(model.index(1), Qt::DisplayRole).toString(),
             QStringLiteral("Hudba/žluťoučký.mp3"));
    QCOMPARE(model.entry(1), std::string_view("Hudba/\x9e"
                                              "lu\x9d"
                                              "ou\xe8"
                                              "k\xfd.mp3"));
    QCOMPARE(model.entry(2).size(), 3u);
    // A valid entry after an invalid one decodes as UTF-8 again.
    QCOMPARE(model.displayText("č"), QStringLiteral("č"));
    // A huge entry shows its beginning, cut between characters.
    std::string huge = "a";
    for (int i = 0; i < 5000; ++i)
        huge += "ž";
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
    const auto selected = [&] {
        QList<int> rows;
        for (int row = 0; row < view.count(); ++row)
            if (view.isSelected(row))
                rows.append(row);
        return rows;
    };
    click(1);
    click(3, Qt::ShiftModifier);
    QCOMPARE(selected(), (QList<int>{1, 2, 3}));
    click(2, Qt::ControlModifier);
    click(5, Qt::ControlModifier);
    QCOMPARE(selected(), (QList<int>{1, 3, 5}));
    click(4);
    QCOMPARE(selected(), QList<int>{4});
    QTest::keyClick(&view, Qt::Key_Down, Qt::ShiftModifier);
    QCOMPARE(selected(), (QList<int>{4, 5}));
    QTest::keyClick(&view, Qt::Key_Home);
    QCOMPARE(selected(), QList<int>{0});
    QTest::keyClick(&view, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(view.selectedCount(), 6);

    // Appending keeps the selection; a rebuilt list has none.
    model.append("6");
    QCOMPARE(view.selectedCount(), 6);
    QVERIFY(!view.isSelected(6));
    model.removeFlagged({true});
    QCOMPARE(view.selectedCount(), 0);
    QCOMPARE(view.currentRow(), -1);
    QCOMPARE(view.rowAt(13 * 20), -1);
}

QTEST_MAIN(TestPlatformAndPlaylist)
#include "test_platform_and_playlist.moc"
