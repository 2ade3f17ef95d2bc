#include "playlist/formats/PlaylistFormat.h"
#include "support/QtTests.h"
#include "support/TestFiles.h"

#include <QFile>
#include <QTemporaryDir>
#include <sys/stat.h>
#include <unistd.h>

using tb::PlaylistFormat;

class TestPlaylistFormat : public QObject {
    Q_OBJECT

private slots:
    void saveTarget_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("filter");
        QTest::addColumn<QString>("path");
        QTest::addColumn<PlaylistFormat>("format");
        QTest::newRow("no extension: the filter's")
            << "/p/list" << 1 << "/p/list.m3u8" << PlaylistFormat::M3u8;
        QTest::newRow("a dot alone") << "/p/list." << 2 << "/p/list.pls" << PlaylistFormat::Pls;
        QTest::newRow("the extension decides")
            << "/p/list.XSPF" << 0 << "/p/list.XSPF" << PlaylistFormat::Xspf;
        QTest::newRow("another extension stays")
            << "/p/list.txt" << 0 << "/p/list.txt" << PlaylistFormat::M3u;
        QTest::newRow("a dotted folder")
            << "/p.m3u8/list" << 3 << "/p.m3u8/list.xspf" << PlaylistFormat::Xspf;
    }

    void saveTarget() {
        QFETCH(QString, typed);
        QFETCH(int, filter);
        QFETCH(QString, path);
        QFETCH(PlaylistFormat, format);
        const tb::SaveTarget target = tb::saveTarget(typed, tb::playlistSaveFilters().at(filter));
        QCOMPARE(target.path, path);
        QCOMPARE(target.format, format);
    }

    // Extended M3U where the first line says so, under .m3u or a name of no format's.
    void formatToRead_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<PlaylistFormat>("format");
        QTest::newRow("m3u8") << "a.m3u8" << QByteArray("/a.mp3\n") << PlaylistFormat::M3u8;
        QTest::newRow("extended m3u") << "a.m3u" << QByteArray("#EXTM3U\n") << PlaylistFormat::M3u8;
        QTest::newRow("plain m3u")
            << "a.M3U" << QByteArray("/a.mp3\n#EXTM3U\n") << PlaylistFormat::M3u;
        QTest::newRow("missing") << "" << QByteArray() << PlaylistFormat::M3u;
    }

    void formatToRead() {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(PlaylistFormat, format);
        QTemporaryDir dir;
        if (!name.isEmpty())
            tb::test::writeFile(dir.filePath(name), bytes);
        QCOMPARE(tb::formatToRead(dir.filePath(name.isEmpty() ? "none.txt" : name)), format);
    }

    // Entries know the regular files they name, absolute or relative to the playlist's
    // folder (the other forms are the entry resolver's own test); never a FIFO or a folder.
    void readEntriesKnowTheirFiles() {
        QTemporaryDir dir;
        tb::test::makeFiles(dir.path(), {"sub dir/song.mp3", "sub dir/folder.mp3/x"});
        const QByteArray root = QFile::encodeName(dir.path());
        const QByteArray song = root + "/sub dir/song.mp3";
        QCOMPARE(::mkfifo((root + "/sub dir/pipe.mp3").constData(), 0600), 0);
        const QByteArray lines[] = {song, "sub dir/song.mp3", "missing.mp3", "sub dir/pipe.mp3",
                                    "sub dir/folder.mp3"};
        QByteArray bytes = "#EXTM3U\n#EXTINF:12,A - B\n";
        for (const QByteArray& line : lines)
            bytes += line + "\n";
        const QString path = dir.filePath(QStringLiteral("list.txt"));
        tb::test::writeFile(path, bytes);
        ::alarm(5); // a FIFO opened for reading would wait here
        const std::vector<tb::PlaylistItem> items =
            tb::readPlaylistFile(path, tb::formatToRead(path));
        ::alarm(0);
        QCOMPARE(items.size(), std::size(lines));
        for (std::size_t i = 0; i < items.size(); ++i)
            QCOMPARE(QByteArray::fromStdString(items[i].file), i < 2 ? song : QByteArray());
        QVERIFY_THROWS_EXCEPTION(
            tb::IoError, tb::readPlaylistFile(dir.filePath("none.pls"), PlaylistFormat::Pls));
    }

    // An extended M3U from Czech Windows: its infos are Windows-1250 where not UTF-8.
    void extendedM3uInfosInEitherCode() {
        const auto items = tb::readPlaylistBytes(
            "#EXTM3U\r\n#EXTINF:6,\x8Elut\xFD pes\r\na.mp3\r\n#EXTINF:2,\xC5\xBD\xC3\xA1r\r\nb.mp3",
            PlaylistFormat::M3u8, "/m");
        QCOMPARE(items.size(), 2u);
        QCOMPARE(QString::fromStdString(items[0].info + items[1].info),
                 QStringLiteral("Žlutý pesŽár"));
    }
};

QTEST_GUILESS_MAIN(TestPlaylistFormat)
#include "test_playlistformat.moc"
