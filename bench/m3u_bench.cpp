// Saves a playlist of a million entries of about forty bytes through the real save
// button, then opens the file again into an empty playlist and shows it.
//   --one-line   instead opens a 200 MB file that holds a single line
//   --random     instead opens 64 MB of random bytes
#include "BenchSupport.h"

#include "app/Unit1.h"
#include "controls/Digits.h"
#include "playlist/PlaylistModel.h"
#include "playlist/PlaylistView.h"
#include "support/MainWindowFixture.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int kEntries = 1'000'000;

// A file to open that the save button did not write.
bool writeOddFile(const QString& path, bool oneLine) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    constexpr qint64 kPiece = 1 << 20;
    const qint64 pieces = oneLine ? 200 : 64;
    QByteArray piece(kPiece, 'x');
    for (qint64 i = 0; i < pieces; ++i) {
        if (!oneLine)
            QRandomGenerator::global()->fillRange(reinterpret_cast<quint32*>(piece.data()),
                                                  kPiece / 4);
        if (file.write(piece) != kPiece)
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char* argv[]) {
    bench::useOffscreenPlatform();
    QApplication app(argc, argv);
    const bool oneLine = argc > 1 && std::strcmp(argv[1], "--one-line") == 0;
    const bool random = argc > 1 && std::strcmp(argv[1], "--random") == 0;

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.m3u"));
    tb::test::MainWindowFixture fx;
    fx.settingsStore.values = {{QStringLiteral("Blikatka"), QStringLiteral("NE")},
                               {QStringLiteral("DelAfter"), QStringLiteral("NE")},
                               {QStringLiteral("AskRun"), QStringLiteral("NE")}};
    tb::test::ScriptedDialogs& dialogs = fx.dialogs;
    TForm1& form = fx.show();
    bench::settle();
    const double emptyWindowMB = bench::residentMB();
    PlaylistModel* playlist = form.playlist();

    QElapsedTimer timer;
    if (oneLine || random) {
        if (!writeOddFile(path, oneLine))
            return 1;
    } else {
        bench::fillPlaylist(*playlist, kEntries);
        form.Digits1->setValue(kEntries);
        dialogs.fileNames = {path};
        timer.start();
        form.Button4Click();
        bench::report("save_ms", bench::msSince(timer));
        playlist->clear();
        form.Digits1->setValue(0);
        bench::settle();
    }
    const double fileMB = static_cast<double>(QFileInfo(path).size()) / (1024.0 * 1024.0);

    dialogs.fileNames = {path};
    timer.restart();
    form.BitBtn3Click();
    bench::report("open_ms", bench::msSince(timer));
    bench::report("open_peak_above_empty_window_mb", bench::peakResidentMB() - emptyWindowMB);
    form.ListBox1->scrollTo(static_cast<int>(playlist->count() / 2));
    form.ListBox1->viewport()->repaint();
    bench::settle();
    bench::report("open_and_show_ms", bench::msSince(timer));
    bench::reportCount("entries_read", playlist->count());
    bench::report("file_mb", fileMB);
    bench::report("empty_window_mb", emptyWindowMB);
    bench::report("peak_mb", bench::peakResidentMB());
    bench::report("peak_above_empty_window_mb", bench::peakResidentMB() - emptyWindowMB);
    const bool failed = !dialogs.shown.isEmpty() ||
                        (!oneLine && !random && playlist->count() != std::size_t{kEntries}) ||
                        (oneLine && playlist->count() != 1);
    return failed ? 1 : 0;
}
