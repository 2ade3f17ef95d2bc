#include "filetools/AudioLength.h"
#include "support/Mp3Bytes.h"
#include "support/QtTests.h"
#include "support/TestFiles.h"

#include <QFile>
#include <QTemporaryDir>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#endif

namespace mp3 = tb::test::mp3;

class TestAudioLength : public QObject {
    Q_OBJECT

private slots:
    // From the Xing header, whichever tag the file has, also under a name of no known
    // kind; -1 for what holds no audio or is no file, and a FIFO is not opened (it would block).
    void lengthOrMinusOne() {
        QTemporaryDir dir;
        const auto write = [&](const char* name, const std::string& bytes) {
            tb::test::writeFile(dir.filePath(QLatin1String(name)),
                                QByteArray::fromStdString(bytes));
        };
        write("v1.mp3", mp3::file(1000, mp3::Tag::Id3v1, {"T", "A", "B"}));
        write("v24.mp2", mp3::file(300, mp3::Tag::Id3v24, {"T", "A", "B"}));
        write("text.mp3", std::string(5000, 'x'));
        const auto length = [&](const char* name) {
            return tb::audioLengthMilliseconds(
                QFile::encodeName(dir.filePath(QLatin1String(name))));
        };
        QCOMPARE(length("v1.mp3"), static_cast<int>(mp3::lengthMilliseconds(1000)));
        QCOMPARE(length("v24.mp2"), static_cast<int>(mp3::lengthMilliseconds(300)));
        QCOMPARE(length("text.mp3"), -1);
        QCOMPARE(length("missing.mp3"), -1);
        QCOMPARE(tb::audioLengthMilliseconds(QFile::encodeName(dir.path())), -1);
#ifndef Q_OS_WIN
        const QByteArray fifo = QFile::encodeName(dir.filePath(QStringLiteral("fifo.mp3")));
        QCOMPARE(::mkfifo(fifo.constData(), 0600), 0);
        QCOMPARE(tb::audioLengthMilliseconds(fifo), -1);
#endif
    }
};

QTEST_GUILESS_MAIN(TestAudioLength)
#include "test_audiolength.moc"
