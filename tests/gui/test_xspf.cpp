#include "playlist/formats/Xspf.h"
#include "support/PlaylistItems.h"
#include "support/QtTests.h"

using tb::PlaylistItem;

namespace {

using tb::test::playlistItem;

QByteArrayList shown(const std::vector<PlaylistItem>& items) {
    QByteArrayList out;
    for (const PlaylistItem& item : items)
        out += QByteArray::fromStdString(item.text + "|" + item.title + "|" + item.artist + "|" +
                                         item.album + "|" + std::to_string(item.milliseconds));
    return out;
}

} // namespace

class TestXspf : public QObject {
    Q_OBJECT

private slots:
    // A file read in pieces of 64 KiB whose last piece is its closing '>' alone.
    void lastByteOfALargeFileIsRead() {
        const std::string head = "<playlist version=\"1\" xmlns=\"http://xspf.org/ns/0/\">"
                                 "<trackList><track><location>a.mp3</location></track>"
                                 "</trackList><!--";
        const std::string tail = "--></playlist>";
        const std::string file = head + std::string(65537 - head.size() - tail.size(), ' ') + tail;
        QCOMPARE(shown(tb::readXspf(file)), QByteArrayList{"a.mp3||||-1"});
    }
    void writesVersionOneWithEveryField() {
        const std::string written =
            tb::writeXspf({playlistItem("/m/a b.mp3", "", "SOS", "ABBA", 212600, "Waterloo"),
                           playlistItem("rel/ž.mp3", "Z M3U8 < & >", "", "", -1)});
        QCOMPARE(QByteArray::fromStdString(written),
                 "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                 "<playlist xmlns=\"http://xspf.org/ns/0/\" version=\"1\">\n"
                 "  <trackList>\n"
                 "    <track>\n"
                 "      <location>file:///m/a%20b.mp3</location>\n"
                 "      <title>SOS</title>\n"
                 "      <creator>ABBA</creator>\n"
                 "      <album>Waterloo</album>\n"
                 "      <duration>212600</duration>\n"
                 "    </track>\n"
                 "    <track>\n"
                 "      <location>rel/%C5%BE.mp3</location>\n"
                 "      <title>Z M3U8 &lt; &amp; &gt;</title>\n"
                 "    </track>\n"
                 "  </trackList>\n"
                 "</playlist>\n");
    }

    void entriesAndTextsComeBack() {
        // Entries of any bytes, a web address, texts with characters XML cannot hold.
        const std::vector<PlaylistItem> items{
            playlistItem(std::string("/m/\xE8\x01\n%.mp3"), "", "T\x01\tx", "A\rB", 0),
            playlistItem("http://radio.example/s?q=1&r=2", "", "", "", -1),
            playlistItem("", "", "Žluťoučký kůň", "", 5)};
        QCOMPARE(shown(tb::readXspf(tb::writeXspf(items))),
                 (QByteArrayList{QByteArray("/m/\xE8\x01\n%.mp3|T \tx|A B||0"),
                                 "http://radio.example/s?q=1&r=2||||-1", "|Žluťoučký kůň|||5"}));
        QVERIFY(tb::readXspf(tb::writeXspf({})).empty());
    }

    void readsOtherWritersForms() {
        // Without a namespace, with extensions and unknown elements, a second location,
        // file://localhost, and text split by a comment and a character reference.
        const std::vector<PlaylistItem> items = tb::readXspf(
            "\xEF\xBB\xBF<?xml version=\"1.0\"?><playlist version=\"0\"><title>x</title>"
            "<trackList><track><location>file://localhost/m/a%C3%A9.mp3</location>"
            "<location>second.mp3</location><extension application=\"v\"><vlc:id "
            "xmlns:vlc=\"v\">0</vlc:id></extension><title>A<!-- -->&#x42;&amp;</title>"
            "<duration> 7 </duration></track><track><location>b.mp3</location><image>i</image>"
            "</track></trackList></playlist>");
        QCOMPARE(shown(items), (QByteArrayList{"/m/aé.mp3|AB&|||7", "b.mp3||||-1"}));
    }

    // Plain paths as other players write them: a location that is no URI reference, or
    // one whose decoded path names no file while the text as written does.
    void readsPlainPathsAsLocations() {
        const tb::EntryFileLookup fileOf = [](std::string_view entry) {
            for (std::string_view file : {"01 Rock & Roll #1 (100%).mp3", "100%25.mp3", "a b.mp3"})
                if (entry == file)
                    return "/lists/" + std::string(file);
            return std::string();
        };
        QByteArray bytes = "<playlist version=\"1\" xmlns=\"http://xspf.org/ns/0/\"><trackList>";
        for (const char* location : {"01 Rock &amp; Roll #1 (100%).mp3", "100%25.mp3", "a%20b.mp3",
                                     "gone%20.mp3", "a%zz.mp3", "http://h/x%20y"})
            bytes += QByteArray("<track><location>") + location + "</location></track>";
        bytes += "</trackList></playlist>";
        QCOMPARE(shown(tb::readXspf(bytes.toStdString(), fileOf)),
                 (QByteArrayList{"01 Rock & Roll #1 (100%).mp3||||-1", "100%25.mp3||||-1",
                                 "a b.mp3||||-1", "gone .mp3||||-1", "a%zz.mp3||||-1",
                                 "http://h/x%20y||||-1"}));
    }

    void badInputIsRefused_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("message");
        const QByteArray head =
            "<playlist version=\"1\" xmlns=\"http://xspf.org/ns/0/\"><trackList>";
        const QByteArray tail = "</trackList></playlist>";
        QTest::newRow("empty") << QByteArray() << "žádný prvek";
        QTest::newRow("not XML") << QByteArray("[playlist]\nFile1=a\n") << "řádek 1";
        QTest::newRow("unclosed") << (head + "<track><location>a</location>") << "useknutý";
        QTest::newRow("wrong root") << QByteArray("<html><body/></html>") << "<html>";
        QTest::newRow("foreign namespace")
            << QByteArray("<playlist xmlns=\"urn:x\"/>") << "ne <playlist>";
        QTest::newRow("external entity")
            << "<!DOCTYPE p [<!ENTITY x SYSTEM \"file:///etc/passwd\">]>" + head +
                   "<track><location>&x;</location></track>" + tail
            << "(DTD)";
        QTest::newRow("no location")
            << head + "<track><title>t</title></track>" + tail << "skladba 1 nemá umístění";
        QTest::newRow("duration")
            << head + "<track><location>a</location><duration>3:20</duration></track>" + tail
            << "délka skladby 1";
        QTest::newRow("element in text")
            << head + "<track><location>a<b/></location></track>" + tail << "<b>";
        QTest::newRow("junk after root") << (head + tail + "<x/>") << "řádek 1";
        QTest::newRow("huge title")
            << head + "<track><location>a</location><title>" +
                   QByteArray(int(tb::kXspfMostTextBytes) + 1, 'x') + "</title></track>" + tail
            << "delší než 1 MB";
    }

    void badInputIsRefused() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        try {
            tb::readXspf(std::string_view(bytes.constData(), std::size_t(bytes.size())));
            QFAIL("read");
        } catch (const tb::PlaylistFormatError& error) {
            const QString what = QString::fromStdString(error.what());
            QVERIFY2(what.startsWith(u"Chybný playlist XSPF") && what.contains(message),
                     qPrintable(what));
        }
    }
};

QTEST_GUILESS_MAIN(TestXspf)
#include "test_xspf.moc"
