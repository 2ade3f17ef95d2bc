// Saves a playlist of a million entries of about forty bytes through the real save
// button, then opens the file again into an empty playlist and shows it, and beside
// that times a bare read of the same file, to show what the open costs above reading.
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
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <unistd.h>
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

// The floor for opening: the file read in the pieces the open reads, its line ends
// counted with memchr, nothing kept. Returns the milliseconds; `lines` gets the count.
double bareReadMs(const QString& path, long long& lines) {
    QElapsedTimer timer;
    timer.start();
    lines = 0;
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    std::vector<char> piece(256 * 1024);
    for (;;) {
        const ssize_t got = ::read(fd, piece.data(), piece.size());
        if (got <= 0)
            break;
        const char* at = piece.data();
        const char* const end = at + got;
        while ((at = static_cast<const char*>(std::memchr(at, '\n', end - at))) != nullptr) {
            ++lines;
            ++at;
        }
    }
    ::close(fd);
    return bench::msSince(timer);
}

double monotonicSeconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec + now.tv_nsec / 1e9;
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

    // The open is timed in several rounds, each into an emptied playlist and each beside
    // a bare read of its own: the target holds for the worst round, not the best.
    constexpr int kRounds = 5;
    double worstRatio = 0;
    for (int round = 0; round < kRounds; ++round) {
        if (round > 0) {
            playlist->clear();
            form.Digits1->setValue(0);
            bench::settle();
        }
        dialogs.fileNames = {path};
        const long long faultsBefore = bench::pageFaults();
        std::fprintf(stderr, "open at %.6f\n", monotonicSeconds());
        timer.restart();
        form.BitBtn3Click();
        const double openMs = bench::msSince(timer);
        form.ListBox1->scrollTo(static_cast<int>(playlist->count() / 2));
        form.ListBox1->viewport()->repaint();
        bench::settle();
        const double openAndShowMs = bench::msSince(timer);
        const long long openFaults = bench::pageFaults() - faultsBefore;
        std::fprintf(stderr, "shown at %.6f\n", monotonicSeconds());
        long long bareLines = 0;
        const double bareMs = bareReadMs(path, bareLines);
        std::printf("round %d: open_ms=%.1f open_and_show_ms=%.1f bare_read_ms=%.1f ratio=%.2f "
                    "faults=%lld\n",
                    round, openMs, openAndShowMs, bareMs, openAndShowMs / bareMs, openFaults);
        worstRatio = std::max(worstRatio, openAndShowMs / bareMs);
        if (round == 0) {
            bench::report("open_ms", openMs);
            bench::report("open_peak_above_empty_window_mb",
                          bench::peakResidentMB() - emptyWindowMB);
            bench::report("open_and_show_ms", openAndShowMs);
            bench::report("bare_read_ms", bareMs);
            bench::reportCount("bare_read_lf_count", bareLines);
            bench::report("open_and_show_vs_bare_read", openAndShowMs / bareMs);
        }
    }
    bench::report("worst_open_and_show_vs_bare_read", worstRatio);
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
