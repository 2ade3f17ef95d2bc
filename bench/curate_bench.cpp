// Shapes a playlist of a million entries (texts and files as playlist_bench makes them)
// with each command of the playlist's popup menu, then undoes and redoes it. For each:
// the whole time until the result is in place, the longest stretch the window's thread
// was held (the largest gap between the ticks of a 1 ms timer, the command's own
// steps on that thread included), and the peak memory above the filled playlist.
#include "BenchSupport.h"

#include "app/Unit1.h"
#include "controls/Digits.h"
#include "playlist/PlaylistCurating.h"
#include "playlist/PlaylistModel.h"
#include "playlist/PlaylistView.h"
#include "support/MainWindowFixture.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <string>

namespace {

// Forgets the peak so far, so that the next reading is this command's own.
void resetPeak() {
    QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
    if (clearRefs.open(QIODevice::WriteOnly))
        clearRefs.write("5");
}

// Runs the command from the event loop, as a key or a menu does, and waits till the
// playlist has its result.
void measure(const std::string& name, TForm1& form, double filledMB,
             const std::function<void()>& command) {
    bench::StretchMeter meter;
    bench::settle();
    resetPeak();
    const double before = bench::residentMB();
    QElapsedTimer timer;
    meter.start();
    timer.start();
    QTimer::singleShot(0, [&] { command(); });
    bench::settle();
    while (form.playlistCurating().busy())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    bench::settle();
    const double ms = bench::msSince(timer);
    const double stretch = meter.stop();
    bench::report((name + "_ms").c_str(), ms);
    bench::report((name + "_longest_stretch_ms").c_str(), stretch);
    bench::report((name + "_peak_above_playlist_mb").c_str(),
                  std::max(before, bench::peakResidentMB()) - filledMB);
}

void withUndoAndRedo(const std::string& name, TForm1& form, double filledMB,
                     const std::function<void()>& command) {
    const std::uint64_t before = form.playlist()->generation();
    measure(name, form, filledMB, command);
    if (form.playlist()->generation() == before) {
        bench::reportCount((name + "_changed_nothing").c_str(), 1);
        return;
    }
    measure(name + "_undo", form, filledMB, [&] { form.Zpet1Click(); });
    measure(name + "_redo", form, filledMB, [&] { form.Znovu1Click(); });
    measure(name + "_undo_again", form, filledMB, [&] { form.Zpet1Click(); });
}

} // namespace

int main(int argc, char* argv[]) {
    bench::useOffscreenPlatform();
    QApplication app(argc, argv);
    constexpr int kEntries = 1'000'000;

    tb::test::MainWindowFixture fx;
    fx.settingsStore.values.insert(QStringLiteral("Blikatka"), QStringLiteral("NE"));
    TForm1& form = fx.show();
    bench::settle();
    const double emptyMB = bench::residentMB();
    PlaylistModel& playlist = *form.playlist();
    bench::fillPlaylist(playlist, kEntries, true);
    form.Digits1->setValue(kEntries);
    bench::settle();
    const double filledMB = bench::residentMB();
    bench::report("playlist_mb", filledMB - emptyMB);
    bench::report("store_mb", static_cast<double>(playlist.memoryBytes()) / 1e6);

    // 1,000 entries scattered over the list.
    const auto selectScattered = [&] {
        form.ListBox1->clearSelection();
        for (int row = 7; row < kEntries; row += kEntries / 1000)
            form.ListBox1->setSelected(row, true);
    };
    selectScattered();
    withUndoAndRedo("move_1000_up", form, filledMB, [&] { form.Nahoru1->trigger(); });
    selectScattered();
    withUndoAndRedo("move_1000_to_top", form, filledMB, [&] { form.NaZacatek1->trigger(); });
    form.ListBox1->clearSelection();
    withUndoAndRedo("reverse", form, filledMB, [&] { form.Obratit1->trigger(); });
    withUndoAndRedo("shuffle", form, filledMB, [&] { form.Zamichat1->trigger(); });
    withUndoAndRedo("sort_by_text", form, filledMB, [&] { form.SeraditPodle.at(0)->trigger(); });
    withUndoAndRedo("sort_by_file_name", form, filledMB,
                    [&] { form.SeraditPodle.at(1)->trigger(); });
    withUndoAndRedo("remove_duplicates", form, filledMB, [&] { form.Duplicity1->trigger(); });
    // None of the bench's files exists: every entry is missing, and all go.
    fx.dialogs.answers = {tb::Dialogs::Answer::Yes};
    withUndoAndRedo("remove_missing", form, filledMB, [&] { form.Chybejici1->trigger(); });
    form.ListBox1->clearSelection();
    for (int row = 0; row < kEntries; row += 2)
        form.ListBox1->setSelected(row, true);
    withUndoAndRedo("remove_half", form, filledMB, [&] { form.Button3Click(); });
    bench::reportCount("history_bytes", static_cast<long long>(playlist.history().bytes()));
    bench::reportCount("entries_at_end", static_cast<long long>(playlist.count()));
    return 0;
}
