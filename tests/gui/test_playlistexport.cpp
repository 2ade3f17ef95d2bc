#include "playlist/PlaylistExport.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <stdexcept>

using tb::PlaylistFormat;
using tb::PlaylistItem;
using tb::TrackFields;

namespace {

// Tags and lengths by path; a path not listed cannot be read, and "/m/throws.mp3" throws.
std::optional<TrackFields> fakeTracks(const QByteArray& path) {
    if (path == "/m/sos.mp3")
        return TrackFields{QStringLiteral("SOS"), QStringLiteral("ABBA"), QStringLiteral("Arrival"),
                           203'456};
    if (path == "/m/notag.mp3")
        return TrackFields{{}, {}, {}, 61'500};
    if (path == "/m/throws.mp3")
        throw std::runtime_error("unreadable");
    return std::nullopt;
}

// A file with a tag, one without, one that cannot be read and an entry without a
// file that came with its info from a playlist.
std::vector<PlaylistItem> fourEntries() {
    std::vector<PlaylistItem> items(4);
    items[0].text = items[0].file = "/m/sos.mp3";
    items[1].text = items[1].file = "/m/notag.mp3";
    items[2].text = items[2].file = "/m/throws.mp3";
    items[3].text = "http://radio/x";
    items[3].info = "Radio X";
    items[3].milliseconds = 1'500;
    return items;
}

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(none)");
}

} // namespace

class TestPlaylistExport : public QObject {
    Q_OBJECT

private slots:
    void writesTheFormat_data() {
        QTest::addColumn<PlaylistFormat>("format");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("m3u") << PlaylistFormat::M3u
                             << QByteArray("/m/sos.mp3\r\n/m/notag.mp3\r\n/m/throws.mp3\r\n"
                                           "http://radio/x\r\n");
        QTest::newRow("m3u8") << PlaylistFormat::M3u8
                              << QByteArray("#EXTM3U\n#EXTINF:203,ABBA - SOS\n/m/sos.mp3\n"
                                            "#EXTINF:62,notag\n/m/notag.mp3\n"
                                            "#EXTINF:-1,throws\n/m/throws.mp3\n"
                                            "#EXTINF:2,Radio X\nhttp://radio/x\n");
        QTest::newRow("pls") << PlaylistFormat::Pls
                             << QByteArray("[playlist]\nFile1=/m/sos.mp3\nTitle1=ABBA - SOS\n"
                                           "Length1=203\nFile2=/m/notag.mp3\nTitle2=notag\n"
                                           "Length2=62\nFile3=/m/throws.mp3\nTitle3=throws\n"
                                           "Length3=-1\nFile4=http://radio/x\nTitle4=Radio X\n"
                                           "Length4=2\nNumberOfEntries=4\nVersion=2\n");
        QTest::newRow("xspf") << PlaylistFormat::Xspf
                              << QByteArray(
                                     "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                     "<playlist xmlns=\"http://xspf.org/ns/0/\" version=\"1\">\n"
                                     "  <trackList>\n"
                                     "    <track>\n"
                                     "      <location>file:///m/sos.mp3</location>\n"
                                     "      <title>SOS</title>\n"
                                     "      <creator>ABBA</creator>\n"
                                     "      <album>Arrival</album>\n"
                                     "      <duration>203456</duration>\n"
                                     "    </track>\n"
                                     "    <track>\n"
                                     "      <location>file:///m/notag.mp3</location>\n"
                                     "      <title>notag</title>\n"
                                     "      <duration>61500</duration>\n"
                                     "    </track>\n"
                                     "    <track>\n"
                                     "      <location>file:///m/throws.mp3</location>\n"
                                     "      <title>throws</title>\n"
                                     "    </track>\n"
                                     "    <track>\n"
                                     "      <location>http://radio/x</location>\n"
                                     "      <title>Radio X</title>\n"
                                     "      <duration>1500</duration>\n"
                                     "    </track>\n"
                                     "  </trackList>\n"
                                     "</playlist>\n");
    }

    // Each entry read on the worker; one that cannot be read stops no other.
    void writesTheFormat() {
        QFETCH(PlaylistFormat, format);
        QFETCH(QByteArray, bytes);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("list"));
        tb::EntryStore entries; // as the window hands them over
        for (const PlaylistItem& item : fourEntries())
            entries.appendItem(item);
        tb::PlaylistExport save(entries.copy(), path, format, fakeTracks);
        QSignalSpy finished(&save, &tb::PlaylistExport::finished);
        QSignalSpy progress(&save, &tb::PlaylistExport::progress);
        save.start();
        QVERIFY(finished.wait());
        QCOMPARE(contents(path), bytes);
        QCOMPARE(progress.last(), (QVariantList{4, 4}));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("list")});
    }

    // Cancelled while reading, or failing to write: no file, no temporary file, and
    // the earlier file as it was.
    void leavesNothingWhenCancelledOrFailed() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("list.m3u8"));
        {
            QFile earlier(path);
            QVERIFY(earlier.open(QIODevice::WriteOnly));
            earlier.write("earlier");
        }
        tb::PlaylistExport* running = nullptr;
        std::atomic<int> reads = 0;
        tb::PlaylistExport save(fourEntries(), path, PlaylistFormat::M3u8,
                                [&](const QByteArray& file) {
                                    if (++reads == 1)
                                        running->cancel();
                                    return fakeTracks(file);
                                });
        running = &save;
        QSignalSpy cancelled(&save, &tb::PlaylistExport::cancelled);
        QSignalSpy finished(&save, &tb::PlaylistExport::finished);
        save.start();
        QVERIFY(cancelled.wait());
        QCOMPARE(finished.count(), 0);
        QCOMPARE(contents(path), QByteArray("earlier"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("list.m3u8")});

        const QString nowhere = dir.filePath(QStringLiteral("no folder/list.pls"));
        tb::PlaylistExport failing(fourEntries(), nowhere, PlaylistFormat::Pls, fakeTracks);
        QSignalSpy failed(&failing, &tb::PlaylistExport::failed);
        failing.start();
        QVERIFY(failed.wait());
        QVERIFY(!failed.first().first().toString().isEmpty());
        QVERIFY(!QFile::exists(nowhere));
    }
};

QTEST_GUILESS_MAIN(TestPlaylistExport)
#include "test_playlistexport.moc"
