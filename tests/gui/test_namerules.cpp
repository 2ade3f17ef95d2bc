#include "platform/NameRules.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestNameRules : public QObject {
    Q_OBJECT

private slots:
    void fileSystemTypes_data();
    void fileSystemTypes();
    void mountTypes_data();
    void mountTypes();
    void mountTypeOfADevice_data();
    void mountTypeOfADevice();
    void folders();
};

// FAT, exFAT and NTFS by their statfs types; ext4, tmpfs and FUSE as a whole are not.
void TestNameRules::fileSystemTypes_data() {
    QTest::addColumn<std::uint32_t>("type");
    QTest::addColumn<bool>("windows");
    QTest::newRow("FAT") << 0x4d44u << true;
    QTest::newRow("exFAT") << 0x2011BAB0u << true;
    QTest::newRow("NTFS") << 0x5346544eu << true;
    QTest::newRow("ext4") << 0xEF53u << false;
    QTest::newRow("tmpfs") << 0x01021994u << false;
    QTest::newRow("FUSE") << 0x65735546u << false;
    QTest::newRow("none") << 0u << false;
}

void TestNameRules::fileSystemTypes() {
    QFETCH(std::uint32_t, type);
    QFETCH(bool, windows);
    QCOMPARE(tb::isWindowsFileSystemType(type), windows);
}

void TestNameRules::mountTypes_data() {
    QTest::addColumn<QByteArray>("type");
    QTest::addColumn<bool>("windows");
    for (const char* type : {"vfat", "exfat", "ntfs3", "fuseblk", "fuse.exfat", "fuseblk.ntfs-3g"})
        QTest::newRow(type) << QByteArray(type) << true;
    for (const char* type : {"fuse", "fuse.sshfs", "ext4", "tmpfs"})
        QTest::newRow(type) << QByteArray(type) << false;
    QTest::newRow("empty") << QByteArray() << false;
}

void TestNameRules::mountTypes() {
    QFETCH(QByteArray, type);
    QFETCH(bool, windows);
    QCOMPARE(tb::isWindowsMountType(type), windows);
}

// The mount table's type stands after the "-" that ends a varying number of fields.
void TestNameRules::mountTypeOfADevice_data() {
    const QByteArray table = "22 1 0:21 / / rw shared:1 master:2 - overlay overlay rw\n"
                             "44 26 7:0 / /media/stick rw,relatime - fuseblk /dev/loop0 rw\n"
                             "45 26 7:1 / /media/card rw shared:7 - vfat /dev/sdb1 rw\n";
    QTest::addColumn<QByteArray>("mountInfo");
    QTest::addColumn<unsigned>("major");
    QTest::addColumn<unsigned>("minor");
    QTest::addColumn<QByteArray>("type");
    QTest::newRow("no optional field") << table << 7u << 0u << QByteArray("fuseblk");
    QTest::newRow("one optional field") << table << 7u << 1u << QByteArray("vfat");
    QTest::newRow("two optional fields") << table << 0u << 21u << QByteArray("overlay");
    QTest::newRow("not mounted") << table << 7u << 10u << QByteArray();
    QTest::newRow("no separator") << QByteArray("1 2 7:0 / /x rw\n") << 7u << 0u << QByteArray();
}

void TestNameRules::mountTypeOfADevice() {
    QFETCH(QByteArray, mountInfo);
    QFETCH(unsigned, major);
    QFETCH(unsigned, minor);
    QFETCH(QByteArray, type);
    QCOMPARE(tb::mountTypeOf(mountInfo, major, minor), type);
}

void TestNameRules::folders() {
    QTemporaryDir here;
    QVERIFY(!tb::hasWindowsNameRules(QFile::encodeName(here.path())));
    QVERIFY(!tb::hasWindowsNameRules("/no/such/folder"));
}

QTEST_MAIN(TestNameRules)
#include "test_namerules.moc"
