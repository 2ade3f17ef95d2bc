#include "filetools/TagReader.h"
#include "platform/IoError.h"
#include "support/Id3v2Bytes.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using Source = tb::TagFields::Source;
Q_DECLARE_METATYPE(Source)

class TestTagReader : public QObject {
    Q_OBJECT

private slots:
    void whicheverTagIsThere_data();
    void whicheverTagIsThere();
    void unreadableFileThrows();
};

void TestTagReader::whicheverTagIsThere_data() {
    namespace v2 = tb::test::id3v2;
    const auto text = [](const char* id, std::string_view value) {
        return v2::textFrame(3, id, v2::Encoding::Utf8, {value});
    };
    const QByteArray start = QByteArray::fromStdString(
        v2::tag(3, text("TIT2", "Žár") + text("TPE1", "Kapela") + text("TCON", "(17)")));
    const QByteArray audio(300, '\xFF');
    QByteArray end = "TAG" + QByteArray("\x8A\xED\xF8").leftJustified(30, '\0') +
                     QByteArray("ABBA").leftJustified(60, '\0') + "1976" + QByteArray(30, '\0');
    end += char(79);

    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<Source>("source");
    QTest::addColumn<QStringList>("fields");
    QTest::newRow("ID3v1 before ID3v2") << start + audio + end << Source::Id3v1
                                        << QStringList{"Šíř", "ABBA", "", "1976", "", "Hard Rock"};
    QTest::newRow("ID3v2 alone") << start + audio << Source::Id3v2
                                 << QStringList{"Žár", "Kapela", "", "", "", "Rock"};
    QTest::newRow("none") << audio << Source::None << QStringList(6);
}

void TestTagReader::whicheverTagIsThere() {
    QFETCH(QByteArray, bytes);
    QFETCH(Source, source);
    QFETCH(QStringList, fields);
    QTemporaryDir folder;
    QFile file(folder.filePath(QStringLiteral("song.mp3")));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    file.close();
    const tb::TagFields read = tb::readTagFields(QFile::encodeName(file.fileName()));
    QCOMPARE(read.source, source);
    QCOMPARE(
        (QStringList{read.title, read.artist, read.album, read.year, read.comment, read.genre}),
        fields);
}

// A file shorter than an ID3v1 tag is a read beyond its end, as it always was.
void TestTagReader::unreadableFileThrows() {
    QTemporaryDir folder;
    QFile file(folder.filePath(QStringLiteral("short.mp3")));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write("ID3") == 3);
    file.close();
    QVERIFY_THROWS_EXCEPTION(tb::IoError, tb::readTagFields(QFile::encodeName(file.fileName())));
    QVERIFY_THROWS_EXCEPTION(tb::IoError, tb::readTagFields("/no/such/song.mp3"));
}

QTEST_GUILESS_MAIN(TestTagReader)
#include "test_tagreader.moc"
