// Music files of every kind, as their encoders wrote them, through the tag panel and
// through a save; files that cannot be read show nothing.
#include "filetools/FileListBox.h"
#include "filetools/FilterComboBox.h"
#include "playlist/PlaylistExport.h"
#include "support/MainWindowFixture.h"
#include "support/Mp3Bytes.h"
#include "support/MusicFiles.h"
#include "support/QtTests.h"

#include <QLabel>

using namespace tb::test;

class TestMusicFiles : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(makeMusicFiles(
            dir_, "a", {"flac", "ogg", "opus", "m4a", "wav", "aif", "wma", "wv", "mpc", "ape"}));
        QVERIFY(QProcess::execute("ffmpeg", {"-v", "error", "-i", dir_ + "/a.m4a", "-map_metadata",
                                             "-1", "-c", "copy", dir_ + "/notags.m4a"}) == 0);
        writeFile(dir_ + "/cut.flac", contents(dir_ + "/a.flac").left(3000));
        writeFile(dir_ + "/empty.ogg", {});
        writeFile(dir_ + "/mp3.flac", QByteArray::fromStdString(mp3::file(40)));
    }

    void panelAndSavesShowTheTag_data() {
        QTest::addColumn<QStringList>("panel");
        QTest::addColumn<int>("milliseconds"); // -1 where unknown
        QStringList all{kMusicTitle, kMusicArtist, "Album", "1976", "Poznámka", "Rock"}, none(6),
            noComment = all, asf = all;
        noComment[4] = asf[3] = asf[4] = "";
        // An Opus file's length is its 48 kHz granules less its pre-skip.
        for (const char* name : {"a.flac", "a.ogg", "a.opus", "a.wav", "a.wv", "a.mpc", "a.ape"})
            QTest::newRow(name) << all << 1000;
        // AAC and WMA carry their encoder's delay; ffmpeg's AIFF and WMA tags miss a field or two.
        QTest::newRow("a.m4a") << all << 1023;
        QTest::newRow("notags.m4a") << none << 1023;
        QTest::newRow("a.aif") << noComment << 1000;
        QTest::newRow("a.wma") << asf << 1021;
        for (const char* name : {"cut.flac", "empty.ogg", "mp3.flac"})
            QTest::newRow(name) << none << -1;
    }

    void panelAndSavesShowTheTag() {
        QFETCH(QStringList, panel);
        QFETCH(int, milliseconds);
        const QString name = QTest::currentDataTag();
        MainWindowFixture fx;
        TForm1& form = fx.showIn(dir_, {});
        form.FilterComboBox1->setCurrentIndex(1);
        QCOMPARE(form.FileListBox1->count(), 14); // "Hudební soubory": every file of the folder
        fx.clickFile(form.FileListBox1->model()
                         ->match(form.FileListBox1->model()->index(0, 0), Qt::DisplayRole, name)[0]
                         .row());
        QCOMPARE(
            (QStringList{form.TitleTag->text(), form.ArtistTag->text(), form.AlbumTag->text(),
                         form.YearTag->text(), form.CommentTag->text(), form.GenreTag->text()}),
            panel);
        QCOMPARE(fx.dialogs.shown.size(), 0);

        // Saved as XSPF, which holds each field apart and the length to the millisecond.
        tb::PlaylistItem item;
        item.text = item.file = QFile::encodeName(dir_ + '/' + name).toStdString();
        tb::PlaylistExport save({item}, dir_ + "/../list", tb::PlaylistFormat::Xspf,
                                tb::readTrackFields);
        QSignalSpy finished(&save, &tb::PlaylistExport::finished);
        save.start();
        QVERIFY(finished.wait());
        const QString saved = QString::fromUtf8(contents(dir_ + "/../list"));
        QVERIFY2(
            saved.contains("<title>" + kMusicTitle + "<") == !panel[0].isEmpty() &&
                saved.contains("<creator>" + kMusicArtist + "<") == !panel[1].isEmpty() &&
                saved.contains("<duration>") == (milliseconds >= 0) &&
                (milliseconds < 0 || saved.contains(QString("<duration>%1<").arg(milliseconds))),
            qPrintable(saved));
    }

private:
    QTemporaryDir tmp_;
    const QString dir_ = tmp_.filePath("music");
};

QTEST_MAIN(TestMusicFiles)
#include "test_musicfiles.moc"
