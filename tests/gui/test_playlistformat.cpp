#include "playlist/PlaylistFormat.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

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
        const QStringList filters = tb::playlistSaveFilters();
        QCOMPARE(filters, (QStringList{"Playlist M3U (*.m3u)", "Playlist M3U8 s popisky (*.m3u8)",
                                       "Playlist PLS (*.pls)", "Playlist XSPF (*.xspf)"}));
        const tb::SaveTarget target = tb::saveTarget(typed, filters.at(filter));
        QCOMPARE(target.path, path);
        QCOMPARE(target.format, format);
        QCOMPARE(tb::formatToRead(path), tb::formatOfName(path).value_or(PlaylistFormat::M3u));
    }

    // Entries know the files they name: absolute, relative to the playlist's folder,
    // a file:// URI, or with Windows' backslashes; M3U lines stay as they are.
    void readEntriesKnowTheirFiles() {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("sub dir")));
        const QByteArray root = QFile::encodeName(dir.path());
        const QByteArray song = root + "/sub dir/song.mp3";
        QFile(QFile::decodeName(song)).open(QIODevice::WriteOnly);
        const QByteArray lines[] = {song, "sub dir/song.mp3",
                                    "file://" + root.toPercentEncoding("/") + "/sub%20dir/song.mp3",
                                    "sub dir\\song.mp3", "missing.mp3"};
        QByteArray m3u8 = "#EXTM3U\n#EXTINF:12,A - B\n";
        QByteArray m3u;
        for (const QByteArray& line : lines) {
            m3u8 += line + "\n";
            m3u += line + "\r\n";
        }
        for (const auto& [name, bytes] :
             {std::pair{"list.m3u8", m3u8}, std::pair{"list.m3u", m3u + "#EXTM3U\r\n"}}) {
            const QString path = dir.filePath(QLatin1String(name));
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(bytes);
            file.close();
            const std::vector<tb::PlaylistItem> items =
                tb::readPlaylistFile(path, tb::formatToRead(path));
            QCOMPARE(items.size(), std::size(lines) + (bytes == m3u8 ? 0 : 1));
            for (std::size_t i = 0; i < items.size(); ++i) {
                const bool found = i + 1 < std::size(lines);
                QCOMPARE(QByteArray::fromStdString(items[i].file), found ? song : QByteArray());
            }
            QCOMPARE(items[0].info, std::string(bytes == m3u8 ? "A - B" : ""));
            if (bytes != m3u8)
                QCOMPARE(items.back().text, std::string("#EXTM3U"));
        }
        QVERIFY_THROWS_EXCEPTION(tb::PlaylistFormatError,
                                 tb::readPlaylistBytes("File1=a", PlaylistFormat::Pls, {}));
        QVERIFY_THROWS_EXCEPTION(
            tb::IoError, tb::readPlaylistFile(dir.filePath("none.pls"), PlaylistFormat::Pls));
    }
};

QTEST_GUILESS_MAIN(TestPlaylistFormat)
#include "test_playlistformat.moc"
