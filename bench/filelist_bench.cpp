// Fills the file list from a directory of 50,000 .mp3 files: the time until they are
// shown, and the longest stretch the window's thread was held meanwhile.
#include "BenchSupport.h"

#include "filetools/FileListBox.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>

int main(int argc, char* argv[]) {
    bench::useOffscreenPlatform();
    QApplication app(argc, argv);
    constexpr int kFiles = 50'000;

    QTemporaryDir dir;
    if (!bench::makeMp3Files(dir, kFiles))
        return 2;
    TFileListBox list;
    list.resize(145, 189);
    list.setMask(QStringLiteral("*.MP3"));
    list.show();
    // The program's window shows its start folder before any other: fonts and the list's
    // painting are ready when a folder is chosen.
    QTemporaryDir startFolder;
    if (!bench::makeMp3Files(startFolder, 1))
        return 2;
    QSignalSpy startListed(&list, &TFileListBox::listed);
    list.setDirectory(startFolder.path());
    if (startListed.isEmpty() && !startListed.wait(60'000))
        return 1;
    list.viewport()->repaint();
    bench::settle();

    QSignalSpy listed(&list, &TFileListBox::listed);
    bench::StretchMeter meter;
    meter.start();
    QElapsedTimer timer;
    timer.start();
    list.setDirectory(dir.path());
    if (listed.isEmpty() && !listed.wait(60'000))
        return 1;
    list.viewport()->repaint();
    bench::settle();
    bench::report("filelist_50000_ms", static_cast<double>(timer.nsecsElapsed()) / 1e6);
    bench::report("filelist_longest_stretch_ms", meter.stop());
    bench::reportCount("files_listed", list.count());
    return list.count() == kFiles ? 0 : 1;
}
