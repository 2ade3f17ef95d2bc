#include "platform/Pictures.h"
#include "support/MainWindowFixture.h"
#include "support/QtTests.h"

#include <QRegularExpression>
#include <QTemporaryDir>

class TestPictures : public QObject {
    Q_OBJECT

private slots:
    void undecodablePictureLeavesAnEmptyArea() {
        QTemporaryDir dir;
        const QString broken = dir.filePath("broken.jpg");
        // A JPEG start marker and then nothing of a picture.
        tb::test::writeFile(broken, QByteArray("\xFF\xD8\xFF\xE0") + "not really a picture");
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("cannot read the picture .*"));
        QVERIFY(tb::readPicture(broken).isNull());
    }
};

QTEST_MAIN(TestPictures)
#include "test_pictures.moc"
