// Fills the real playlist with a million entries of about forty bytes, shows it,
// selects every second entry and removes the selection. The fill is timed whole and
// in the playlist alone, the formatting of the entries apart.
//
// With --after-idle SECONDS it then empties the playlist, lets the window idle that
// long and fills it once more: memory left unused for a while may have been taken
// back by the host, and the first fill after an idle spell pays for that. The first
// fill of a program started after the machine sat idle (`sleep 20` before the bench)
// meets memory in that state too.
#include "BenchSupport.h"

#include "app/Unit1.h"
#include "playlist/PlaylistModel.h"
#include "playlist/PlaylistView.h"
#include "support/MainWindowFixture.h"

#include <QApplication>
#include <QElapsedTimer>
#include <cstring>
#include <string>

int main(int argc, char* argv[]) {
    bench::useOffscreenPlatform();
    QApplication app(argc, argv);
    constexpr int kEntries = 1'000'000;
    int idleSeconds = -1;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--after-idle") == 0)
            idleSeconds = std::stoi(argv[i + 1]);
    }

    tb::test::MainWindowFixture fx;
    fx.settingsStore.values.insert(QStringLiteral("Blikatka"), QStringLiteral("NE"));
    TForm1& form = fx.show();
    bench::settle();
    const double emptyWindowMB = bench::residentMB();

    QElapsedTimer timer;
    timer.start();
    PlaylistModel* playlist = form.playlist();
    const bench::PlaylistTimes inPlaylist = bench::fillPlaylist(*playlist, kEntries);
    const double fillMs = bench::msSince(timer);
    bench::report("fill_ms", fillMs);
    // Of which the playlist's share, and the bench's own formatting of the entries.
    bench::report("fill_playlist_ms", inPlaylist.ms);
    bench::report("fill_playlist_cpu_ms", inPlaylist.cpuMs);
    bench::report("fill_formatting_ms", fillMs - inPlaylist.ms);
    const auto storeBytes = static_cast<double>(playlist->memoryBytes());
    bench::report("store_mb", storeBytes / 1e6);
    const double filledMB = bench::residentMB();
    form.ListBox1->scrollTo(kEntries / 2);
    form.ListBox1->viewport()->repaint();
    bench::settle();
    bench::report("fill_and_show_ms", bench::msSince(timer));

    timer.restart();
    for (int row = 0; row < kEntries; row += 2)
        form.ListBox1->setSelected(row, true);
    bench::settle();
    bench::report("select_every_second_ms", bench::msSince(timer));

    // One tick of the enable timer with the full playlist.
    constexpr int kTicks = 10'000;
    timer.restart();
    for (int i = 0; i < kTicks; ++i)
        form.Timer1Timer();
    bench::report("timer1_tick_us", bench::msSince(timer) * 1e3 / kTicks);

    timer.restart();
    form.Button3Click();
    form.ListBox1->viewport()->repaint();
    bench::settle();
    bench::report("remove_selected_ms", bench::msSince(timer));
    bench::reportCount("entries_left", playlist->count());

    bench::report("empty_window_mb", emptyWindowMB);
    bench::report("peak_mb", bench::peakResidentMB());
    bench::report("peak_above_empty_window_mb", bench::peakResidentMB() - emptyWindowMB);
    if (playlist->count() != kEntries / 2)
        return 1;

    // The same fill with each entry's file beside it: the paths' bytes and one end an
    // entry more.
    playlist->clear();
    timer.restart();
    const bench::PlaylistTimes withFiles = bench::fillPlaylist(*playlist, kEntries, true);
    bench::report("fill_with_files_ms", bench::msSince(timer));
    bench::report("fill_with_files_playlist_ms", withFiles.ms);
    bench::report("fill_with_files_playlist_cpu_ms", withFiles.cpuMs);
    const auto storeWithFilesBytes = static_cast<double>(playlist->memoryBytes());
    bench::report("store_with_files_mb", storeWithFilesBytes / 1e6);
    bench::report("resident_growth_with_files_mb", bench::residentMB() - filledMB);
    bench::report("file_bytes_mb", static_cast<double>(withFiles.fileBytes) / 1e6);
    bench::report("files_extra_bytes_per_entry",
                  (storeWithFilesBytes - storeBytes - static_cast<double>(withFiles.fileBytes)) /
                      kEntries);
    {
        // The copy that a save takes on the window's thread.
        timer.restart();
        const tb::EntryStore snapshot = playlist->snapshot();
        bench::report("snapshot_with_files_ms", bench::msSince(timer));
        if (snapshot.size() != playlist->count())
            return 1;
    }
    playlist->clear();

    if (idleSeconds >= 0) {
        playlist->clear();
        bench::idle(idleSeconds);
        timer.restart();
        const bench::PlaylistTimes afterIdle = bench::fillPlaylist(*playlist, kEntries);
        bench::report("fill_after_idle_ms", bench::msSince(timer));
        bench::report("fill_playlist_after_idle_ms", afterIdle.ms);
        bench::report("fill_playlist_after_idle_cpu_ms", afterIdle.cpuMs);
        if (playlist->count() != kEntries)
            return 1;
    }
    return 0;
}
