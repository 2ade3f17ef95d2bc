#include "support/MainWindowFixture.h"
#include "support/QtTests.h"
#include "support/TagFiles.h"

#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <sys/stat.h>
#include <unistd.h>

using tb::test::audio;
using tb::test::MainWindowFixture;
using tb::test::tag;
using tb::test::tagV2;
using tb::test::id3v2::Encoding;

namespace {

QStringList tagTexts(const TForm1& form) {
    return {form.TitleTag->text(), form.ArtistTag->text(),  form.AlbumTag->text(),
            form.YearTag->text(),  form.CommentTag->text(), form.GenreTag->text()};
}

const QStringList noTag(6);

} // namespace

class TestTagPanel : public QObject {
    Q_OBJECT

private slots:
    // Where the file ends in an ID3v1 tag, that tag is shown alone. Tags pointing past the
    // file's end or of 256 MB show the frames that could be read.
    void panelShowsTheFilesTag_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<qint64>("size"); // the file grown to this, where it is not 0
        QTest::addColumn<QStringList>("texts");
        const QByteArray full(30, 'T'), blanks = "SOS" + QByteArray(27, ' ');
        const auto v1 = [](const QString& title, const QString& genre) {
            return QStringList{title, "", "Arrival   ", "1976", "", genre};
        };
        QTest::newRow("ID3v1 alone, genre 0") << tag(full, {}, 0) << qint64{0} << v1(full, "Blues");
        QTest::newRow("ID3v1 padded with blanks")
            << audio + tag(blanks) << qint64{0} << v1(blanks, "");
        QTest::newRow("ID3v1 title starting with NUL")
            << audio + tag(QByteArray("\0SOS", 4), {}, 148) << qint64{0} << v1("", "");
        // Windows-1250 texts ("Bratříčku", "Žlutý pes") and a track number after the comment's NUL.
        QTest::newRow("ID3v1 Windows-1250, track number")
            << audio + tag("Brat\xF8\xED\xE8ku", "\x8Elut\xFD pes", 17,
                           QByteArray(28, 'c') + '\0' + '\x07')
            << qint64{0} << QStringList{"Bratříčku", "Žlutý pes",      "Arrival   ",
                                        "1976",      QString(28, 'c'), "Rock"};
        QTest::newRow("ID3v1 after ID3v2")
            << tagV2(3, Encoding::Utf8, "Žár", "Kapela", "(17)") + audio + tag("SOS", "ABBA")
            << qint64{0} << QStringList{"SOS", "ABBA", "Arrival   ", "1976", "", ""};
        QTest::newRow("ID3v1 marker in lower case")
            << audio + "tag" + tag("SOS", "ABBA").mid(3) << qint64{0} << noTag;

        QTest::newRow("ID3v2.3 UTF-16")
            << tagV2(3, Encoding::Utf16, "Bratříčku, zavírej vrátka", "Karel Kryl", "(17)") + audio
            << qint64{0}
            << QStringList{
                   "Bratříčku, zavírej vrátka", "Karel Kryl", "Album", "1976", "Poznámka", "Rock"};
        // 2.4 is read in full below.
        QTest::newRow("ID3v2.2 Latin-1")
            << tagV2(2, Encoding::Latin1, "SOS", "ABBA", "(RX)") + audio << qint64{0}
            << QStringList{"SOS", "ABBA", "Album", "1976", "Poznámka", "Remix"};

        const QByteArray whole = tagV2(4, Encoding::Utf8, "SOS", "ABBA", "Pop", 100'000); // padded
        const QStringList all{"SOS", "ABBA", "Album", "1976", "Poznámka", "Pop"};
        QTest::newRow("ID3v2 past the end") << whole.left(400) << qint64{0} << all;
        QTest::newRow("ID3v2 beyond its first read") // 64 KiB: the rest is read where it lies
            << tagV2(4, Encoding::Utf8, std::string(70'000, 'S'), "ABBA", "Pop") + audio
            << qint64{0} << (QStringList{QString(70'000, 'S')} << all.mid(1));
        QByteArray huge = whole.left(whole.indexOf("TCON"));
        huge[6] = huge[7] = huge[8] = huge[9] = 0x7F;
        QTest::newRow("ID3v2 of 256 MB") << huge << (qint64{300} << 20) << (all.mid(0, 5) << "");
    }

    void panelShowsTheFilesTag() {
        QFETCH(QByteArray, file);
        QFETCH(qint64, size);
        QFETCH(QStringList, texts);
        MainWindowFixture fx;
        dirPath_ = dir_.filePath(QTest::currentDataTag());
        TForm1& form = fx.showSongs(dirPath_, {file});
        if (size != 0)
            QVERIFY(QFile::resize(dirPath_ + "/a.mp3", size));
        tb::test::withoutStandardInput([&] { fx.clickFile(0); });
        QCOMPARE(tagTexts(form), texts);
        QCOMPARE(fx.dialogs.shown.size(), 0);
    }

    // A long text is kept whole, shown as far as it fits: the panel does not grow. A failed
    // read ends the click handler: the panel empties, the current file stays.
    void panelKeepsItsSizeAndEmptiesOnAFailedRead() {
        const QString longTitle = QString("Dlouhý název ").repeated(20);
        MainWindowFixture fx;
        dirPath_ = dir_.filePath("panel");
        TForm1& form = fx.showSongs(
            dirPath_, {audio + tag("SOS"), tag("SOS").left(127), audio + tag("SOS"),
                       tagV2(4, Encoding::Utf8, longTitle.toStdString(), "", "(4)Eurodisco")});
        fx.clickFile(0);
        const QRect field = form.TitleTag->geometry(), panel = form.GroupBox3->geometry();
        fx.clickFile(3);
        QCOMPARE(form.TitleTag->text(), longTitle);
        QCOMPARE(form.GenreTag->text(), QStringLiteral("Disco / Eurodisco"));
        QCoreApplication::processEvents();
        QCOMPARE(form.TitleTag->geometry(), field);
        QCOMPARE(form.GroupBox3->geometry(), panel);

        const QString current = form.currentFilePath();
        fx.clickFile(1);
        QFile::remove(dirPath_ + "/c.mp3"); // gone between the listing and the click
        fx.clickFile(2);
        QCOMPARE(fx.dialogs.texts(), (QStringList{"Read beyond end of file.", "File not found."}));
        QCOMPARE(tagTexts(form), noTag);
        QCOMPARE(form.currentFilePath(), current);
        QCOMPARE(form.FileNameTag->text(), current);

        // Names no listing shows, read directly: none may block or be read.
        fx.dialogs.shown.clear();
        const QByteArray fifo = QFile::encodeName(dirPath_ + "/pipe.mp3");
        QCOMPARE(::mkfifo(fifo.constData(), 0600), 0);
        QVERIFY(QFile::link("/dev/zero", dirPath_ + "/device.mp3"));
        ::alarm(5); // an open or read that blocks ends the test
        for (const char* name : {"folder.mp3", "pipe.mp3", "device.mp3"})
            form.guarded([&] { form.DrawTAG(name); });
        ::alarm(0);
        QCOMPARE(fx.dialogs.texts(), QStringList(3, "File access denied."));
    }

private:
    QTemporaryDir dir_;
    QString dirPath_;
};

QTEST_MAIN(TestTagPanel)
#include "test_tagpanel.moc"
