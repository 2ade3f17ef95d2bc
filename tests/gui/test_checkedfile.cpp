#include "platform/CheckedFile.h"
#include "platform/IoError.h"
#include "support/QtTests.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <fcntl.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

// A save that does not reach commit() leaves the earlier file: the temporary file
// beside it goes, and a file rewritten in place stays where it is.

class TestCheckedFile : public QObject {
    Q_OBJECT

private slots:
    void anUnfinishedSaveKeepsTheEarlierFile_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("leftAfter"); // what the file holds afterwards
        QTest::newRow("beside it") << QStringLiteral("list.m3u") << QByteArray("earlier\n");
        // A name so long that no temporary name fits beside it: the file itself is written,
        // and must stay with what reached it.
        QTest::newRow("in place") << QString(250, u'n') + QStringLiteral(".m3u")
                                  << QByteArray("half of the new");
    }

    void anUnfinishedSaveKeepsTheEarlierFile() {
        QFETCH(QString, name);
        QFETCH(QByteArray, leftAfter);
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        tb::test::writeFile(path, "earlier\n");
        QVERIFY(tb::test::withoutStandardInput([&] {
            tb::CheckedFile save(path, tb::CheckedFile::Mode::Replace);
            save.write("half of the new");
        })); // as when the writer throws half-way, and its descriptor is let go
        QCOMPARE(tb::test::contents(path), leftAfter);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{name});
    }

    // A FIFO (or a device, or a folder) under the name is refused, never replaced.
    void onlyARegularFileIsReplaced() {
        QTemporaryDir dir;
        QCOMPARE(::mkfifo(QFile::encodeName(dir.filePath("list.m3u")).constData(), 0600), 0);
        QVERIFY_THROWS_EXCEPTION(
            tb::IoError, tb::CheckedFile(dir.filePath("list.m3u"), tb::CheckedFile::Mode::Replace));
    }

    // With no descriptor to be had, the save fails saying why.
    void aSaveWithoutADescriptorSaysWhy() {
#ifdef __SANITIZE_ADDRESS__
        QSKIP("the sanitizers' own checks of a throw need a descriptor");
#endif
        QTemporaryDir dir;
        rlimit saved{};
        QCOMPARE(::getrlimit(RLIMIT_NOFILE, &saved), 0);
        rlimit none = saved;
        none.rlim_cur = static_cast<rlim_t>(::open("/dev/null", O_RDONLY)); // the lowest free one
        ::close(static_cast<int>(none.rlim_cur));
        QCOMPARE(::setrlimit(RLIMIT_NOFILE, &none), 0);
        int code = 0;
        try {
            tb::CheckedFile save(dir.filePath("list.m3u"), tb::CheckedFile::Mode::Replace);
        } catch (const tb::IoError& error) {
            code = error.code();
        }
        ::setrlimit(RLIMIT_NOFILE, &saved);
        QCOMPARE(code, EMFILE);
    }

    // Where renameat2 cannot refuse to replace (EINVAL, as on NFS; a filter in the child
    // answers so here), a move still never replaces a file.
    void aMoveWithoutNoReplaceReplacesNothing() {
        QTemporaryDir dir;
        const QByteArray song = QFile::encodeName(dir.filePath("song.mp3"));
        const QByteArray taken = QFile::encodeName(dir.filePath("taken.mp3"));
        tb::test::writeFile(dir.filePath("song.mp3"), "song");
        tb::test::writeFile(dir.filePath("taken.mp3"), "taken");
        if (::fork() == 0) {
            sock_filter noReplaceUnknown[] = {
                BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
                BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_renameat2, 0, 1),
                BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | EINVAL),
                BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW)};
            const sock_fprog filter{4, noReplaceUnknown};
            ::_exit(::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0 ||
                    ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &filter) != 0 ||
                    tb::moveFile(song, taken) || !tb::moveFile(song, song + ".moved"));
        }
        int status = -1;
        ::wait(&status);
        QCOMPARE(status, 0);
        QCOMPARE(tb::test::contents(dir.filePath("taken.mp3")), QByteArray("taken"));
    }

    // From a read-only file system to another: the copy is made, the original cannot be
    // removed, so the copy goes again and the move fails. The read-only mount is made in
    // a child's own mount namespace, which needs root (as in CI).
    void aMoveWhoseOriginalStaysFails() {
        QTemporaryDir dir;
        const QByteArray from = QFile::encodeName(dir.filePath("ro"));
        const QByteArray source = from + "/song.mp3";
        const QByteArray target = QFile::encodeName(dir.filePath("song.mp3"));
        QVERIFY(QDir().mkdir(dir.filePath("ro")));
        const pid_t child = ::fork();
        if (child == 0) {
            const bool readOnly =
                ::unshare(CLONE_NEWNS) == 0 &&
                ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
                ::mount("tmpfs", from, "tmpfs", 0, nullptr) == 0 &&
                ::close(::open(source, O_WRONLY | O_CREAT, 0644)) == 0 &&
                ::mount(nullptr, from, nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
            if (!readOnly)
                ::_exit(77);
            ::_exit(!tb::moveFile(source, target) && ::access(source, F_OK) == 0 ? 0 : 1);
        }
        int status = 0;
        QCOMPARE(::waitpid(child, &status, 0), child);
        if (WIFEXITED(status) && WEXITSTATUS(status) == 77)
            QSKIP("no read-only mount of our own here: not root, or no mount namespaces");
        QCOMPARE(status, 0); // refused, and the original is still there
        QVERIFY(!QFile::exists(QFile::decodeName(target))); // and its copy gone
    }
};

QTEST_GUILESS_MAIN(TestCheckedFile)
#include "test_checkedfile.moc"
