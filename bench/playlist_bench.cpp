// Fills the real playlist with a million entries of about forty bytes, shows it,
// selects every second entry and removes the selection.
#include "BenchSupport.h"

#include "app/Unit1.h"
#include "platform/SettingsStore.h"
#include "playlist/PlaylistModel.h"
#include "playlist/PlaylistView.h"
#include "support/Fakes.h"

#include <QApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char* argv[]) {
    bench::useOffscreenPlatform();
    QApplication app(argc, argv);
    constexpr int kEntries = 1'000'000;
    constexpr int kBatch = 10'000;

    tb::test::ScriptedDialogs dialogs;
    tb::MemorySettingsStore store;
    store.values.insert(QStringLiteral("Blikatka"), QStringLiteral("NE"));
    tb::test::FakeVolumes volumes;
    volumes.volumes = {{QStringLiteral("/"), QString()}};
    tb::test::FakeLauncher launcher;
    AppSettings settings;
    TForm1 form(AppServices{dialogs, store, volumes, launcher}, settings);
    form.show();
    bench::settle();
    const double emptyWindowMB = bench::residentMB();

    // Entries are made in batches so that the bench's own scratch stays small.
    QElapsedTimer timer;
    timer.start();
    PlaylistModel* playlist = form.playlist();
    playlist->reserve(kEntries, kEntries * 40);
    std::string batchBytes;
    std::vector<std::string_view> batch;
    for (int first = 0; first < kEntries; first += kBatch) {
        batchBytes.clear();
        for (int i = first; i < first + kBatch; ++i) {
            char line[64];
            const int length = std::snprintf(line, sizeof line,
                                             "C:\\MUSIC\\Artist %03d\\track-%07d.mp3", i % 1000, i);
            batchBytes.append(line, static_cast<std::size_t>(length));
        }
        batch.clear();
        std::size_t at = 0;
        for (int i = first; i < first + kBatch; ++i) {
            batch.emplace_back(batchBytes.data() + at, 40);
            at += 40;
        }
        playlist->appendAll(batch);
    }
    form.ListBox1->scrollTo(kEntries / 2);
    form.ListBox1->viewport()->repaint();
    bench::settle();
    bench::report("fill_and_show_ms", static_cast<double>(timer.nsecsElapsed()) / 1e6);

    timer.restart();
    for (int row = 0; row < kEntries; row += 2)
        form.ListBox1->setSelected(row, true);
    bench::settle();
    bench::report("select_every_second_ms", static_cast<double>(timer.nsecsElapsed()) / 1e6);

    // One tick of the enable timer with the full playlist.
    constexpr int kTicks = 10'000;
    timer.restart();
    for (int i = 0; i < kTicks; ++i)
        form.Timer1Timer();
    bench::report("timer1_tick_us", static_cast<double>(timer.nsecsElapsed()) / 1e3 / kTicks);

    timer.restart();
    form.Button3Click();
    form.ListBox1->viewport()->repaint();
    bench::settle();
    bench::report("remove_selected_ms", static_cast<double>(timer.nsecsElapsed()) / 1e6);
    bench::report("entries_left", static_cast<double>(playlist->count()));

    bench::report("empty_window_mb", emptyWindowMB);
    bench::report("peak_mb", bench::peakResidentMB());
    bench::report("peak_above_empty_window_mb", bench::peakResidentMB() - emptyWindowMB);
    form.hide();
    return playlist->count() == kEntries / 2 ? 0 : 1;
}
