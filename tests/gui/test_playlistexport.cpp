#include "playlist/PlaylistExport.h"
#include "support/QtTests.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <atomic>
#include <stdexcept>

using tb::PlaylistFormat;
using tb::PlaylistItem;
using tb::TrackFields;
using tb::test::contents;

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
    return {{"/m/sos.mp3", "", "", "", "", -1, "/m/sos.mp3"},
            {"/m/notag.mp3", "", "", "", "", -1, "/m/notag.mp3"},
            {"/m/throws.mp3", "", "", "", "", -1, "/m/throws.mp3"},
            {"http://radio/x", "Radio X", "", "", "", 1'500, ""}};
}

} // namespace

class TestPlaylistExport : public QObject {
    Q_OBJECT

private slots:
    // Each entry read on the worker; one that cannot be read stops no other. What each
    // format makes of the fields is its writer's own test.
    void readsEveryEntryAndWrites() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("list"));
        tb::EntryStore entries; // as the window hands them over
        for (const PlaylistItem& item : fourEntries())
            entries.appendItem(item);
        tb::PlaylistExport save(entries.copy(), path, PlaylistFormat::M3u8, fakeTracks);
        QSignalSpy finished(&save, &tb::PlaylistExport::finished);
        QSignalSpy progress(&save, &tb::PlaylistExport::progress);
        save.start();
        QVERIFY(finished.wait());
        QCOMPARE(contents(path), QByteArray("#EXTM3U\n#EXTINF:203,ABBA - SOS\n/m/sos.mp3\n"
                                            "#EXTINF:62,notag\n/m/notag.mp3\n"
                                            "#EXTINF:-1,throws\n/m/throws.mp3\n"
                                            "#EXTINF:2,Radio X\nhttp://radio/x\n"));
        QCOMPARE(save.items().at(0).album, std::string("Arrival")); // for XSPF's <album>
        QCOMPARE(progress.last(), (QVariantList{4, 4}));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("list")});
    }

    // Cancelled while reading, or failing to write: no file, and no word of success.
    void leavesNothingWhenCancelledOrFailed() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("list.m3u8"));
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
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList());

        const QString nowhere = dir.filePath(QStringLiteral("no folder/list.pls"));
        tb::PlaylistExport failing(fourEntries(), nowhere, PlaylistFormat::Pls, fakeTracks);
        QSignalSpy failed(&failing, &tb::PlaylistExport::failed);
        failing.start();
        QVERIFY(failed.wait());
        QVERIFY(!failed.first().first().toString().isEmpty() && !QFile::exists(nowhere));
    }
};

QTEST_GUILESS_MAIN(TestPlaylistExport)
#include "test_playlistexport.moc"
