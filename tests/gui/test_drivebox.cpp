#include "filetools/DriveBox.h"
#include "support/QtTests.h"

class TestDriveBox : public QObject {
    Q_OBJECT

private slots:
    void driveBoxSignalsRealChangesOnly() {
        TDriveBox box;
        QSignalSpy changed(&box, &TDriveBox::driveChanged);
        const tb::Volume system{"/", "root"}, usb{"/media/usb", "USB"};
        box.setVolumes({system, usb});
        for (const char* root : {"/media/usb", "/media/usb", "/nowhere"})
            box.setDrive(root);
        QCOMPARE(changed.count(), 1);
        box.setCurrentIndex(0); // as the user does
        QCOMPARE(changed.count(), 2);

        box.setDrive("/media/usb");
        box.setVolumes({usb, system}); // a refill keeps the chosen volume, silently
        QCOMPARE(changed.count(), 3);
        QCOMPARE(box.Drive(), QStringLiteral("/media/usb"));
    }
};

QTEST_MAIN(TestDriveBox)
#include "test_drivebox.moc"
