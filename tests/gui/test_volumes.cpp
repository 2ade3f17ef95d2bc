#include "platform/Volumes.h"
#include "support/QtTests.h"

#include <QFile>
#include <QTemporaryDir>
#include <sys/mount.h>

class TestVolumes : public QObject {
    Q_OBJECT

private slots:
    void onlyUserVolumesGoToTheDriveBox() {
        // Pseudo file systems and what lies under /run stay out of the drive box.
        QVERIFY(tb::isUserVolume("vfat", "/media/usb") && tb::isUserVolume("ext4", "/runner"));
        QVERIFY(!tb::isUserVolume("proc", "/proc") && !tb::isUserVolume("tmpfs", "/run/user/1000"));
    }

    void aVolumeNoLongerMountedIsNotReady() {
        QTemporaryDir folder;
        const QByteArray root = QFile::encodeName(folder.path());
        if (::mount("tmpfs", root.constData(), "tmpfs", 0, "size=64k") != 0)
            QSKIP("mounting needs root");
        tb::SystemVolumes volumes;
        volumes.mounted(); // as the drive box lists them: its device is known
        const bool readyMounted = volumes.isReady(folder.path());
        ::umount2(root.constData(), MNT_DETACH);
        QVERIFY(readyMounted);
        // The folder stays behind, on the file system above it.
        QVERIFY(!volumes.isReady(folder.path()));
    }
};

QTEST_MAIN(TestVolumes)
#include "test_volumes.moc"
