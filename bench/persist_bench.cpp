// Keeps a playlist of a million entries (texts and files as playlist_bench makes them)
// and makes the changes users make of it: append 1,000, remove half, sort, reverse, undo,
// redo. For each: the keeping's own time on the window's thread when the change is made,
// the longest event on the window's thread until the change is on the disk, the bytes
// written, and the time from the change made to its sync (a fill of many appends counts
// from its last one). Then the time to read it all back
// and the store's size against the same playlist as M3U.
#include "BenchSupport.h"

#include "app/Unit1.h"
#include "playlist/PlaylistKeeper.h"
#include "playlist/PlaylistModel.h"
#include "support/MainWindowFixture.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <fstream>
#include <numeric>
#include <string>

namespace {

// The longest time the window's thread spent on one event.
class TimedApplication : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override {
        QElapsedTimer timer;
        timer.start();
        const bool done = QApplication::notify(receiver, event);
        longestMs = std::max(longestMs, bench::msSince(timer));
        return done;
    }
    double longestMs = 0;
};

// Bytes this process has handed to write() so far.
long long bytesWritten() {
    std::ifstream io("/proc/self/io");
    std::string name;
    long long value = 0;
    while (io >> name >> value)
        if (name == "wchar:")
            return value;
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    bench::useOffscreenPlatform();
    TimedApplication app(argc, argv);
    constexpr int kEntries = 1'000'000;
    QTemporaryDir folder;

    auto fx = std::make_unique<tb::test::MainWindowFixture>();
    fx->settingsStore.values.insert(QStringLiteral("Blikatka"), QStringLiteral("NE"));
    TForm1& form = fx->create();
    PlaylistModel& playlist = *form.playlist();
    // The keeping's own share of a change: between a slot before it and one after it.
    QElapsedTimer hook;
    QObject::connect(&playlist, &PlaylistModel::historyChanged, [&] { hook.start(); });
    form.keepPlaylistIn(folder.path());
    double hookMs = 0;
    QObject::connect(&playlist, &PlaylistModel::historyChanged,
                     [&] { hookMs = bench::msSince(hook); });
    PlaylistKeeper& keeper = form.playlistKeeper();
    const auto waitSettled = [&] {
        while (!keeper.settled())
            app.processEvents(QEventLoop::WaitForMoreEvents, 5);
    };
    waitSettled();

    const auto measure = [&](const char* name, auto&& change) {
        const long long before = bytesWritten();
        app.longestMs = 0;
        change();
        QElapsedTimer timer; // from the change made to the change synced
        timer.start();
        waitSettled();
        const std::string prefix(name);
        bench::report((prefix + "_synced_ms").c_str(), bench::msSince(timer));
        bench::report((prefix + "_keep_hook_ms").c_str(), hookMs);
        bench::report((prefix + "_longest_event_ms").c_str(), app.longestMs);
        bench::report((prefix + "_written_mb").c_str(), (bytesWritten() - before) / 1e6);
    };

    measure("fill", [&] { bench::fillPlaylist(playlist, kEntries, true); });
    measure("append_1000", [&] {
        std::vector<std::string> texts;
        for (int i = 0; i < 1000; ++i)
            texts.push_back("C:\\MUSIC\\New\\track-" + std::to_string(i) + ".mp3");
        const std::vector<std::string_view> views(texts.begin(), texts.end());
        playlist.appendAll(views, views);
    });
    measure("remove_half", [&] {
        std::vector<bool> remove(playlist.count());
        for (std::size_t i = 0; i < remove.size(); i += 2)
            remove[i] = true;
        playlist.removeFlagged(remove);
    });
    measure("sort", [&] {
        std::vector<std::uint32_t> rows(playlist.count());
        std::iota(rows.begin(), rows.end(), 0u);
        // By the track's number from the end, then the text: an order unlike the one it has.
        std::sort(rows.begin(), rows.end(), [&](std::uint32_t a, std::uint32_t b) {
            const std::string_view x = playlist.entry(a), y = playlist.entry(b);
            return std::lexicographical_compare(x.rbegin(), x.rend(), y.rbegin(), y.rend());
        });
        playlist.reorder(rows, QStringLiteral("Seřadit"));
    });
    measure("reverse", [&] {
        std::vector<std::uint32_t> rows(playlist.count());
        std::iota(rows.rbegin(), rows.rend(), 0u);
        playlist.reorder(rows, QStringLiteral("Obrátit pořadí"));
    });
    measure("undo", [&] { playlist.undo(); });
    measure("redo", [&] { playlist.redo(); });
    // Back to a million entries, for the restore.
    measure("refill",
            [&] { bench::fillPlaylist(playlist, kEntries - int(playlist.count()), true); });

    const std::size_t count = playlist.count();
    std::size_t m3uBytes = 0;
    for (std::size_t row = 0; row < count; ++row)
        m3uBytes += playlist.entry(row).size() + 2;
    fx.reset();

    const QString store = folder.filePath(QStringLiteral("playlist.db"));
    const double storeBytes =
        static_cast<double>(QFileInfo(store).size() + QFileInfo(store + "-wal").size());
    bench::report("store_mb", storeBytes / 1e6);
    bench::report("m3u_mb", static_cast<double>(m3uBytes) / 1e6);
    bench::report("store_to_m3u", storeBytes / static_cast<double>(m3uBytes));

    tb::test::MainWindowFixture again;
    again.create();
    app.longestMs = 0;
    QElapsedTimer timer;
    timer.start();
    again.form->keepPlaylistIn(folder.path());
    while (again.form->playlistKeeper().restoring())
        app.processEvents(QEventLoop::WaitForMoreEvents, 5);
    bench::report("restore_ms", bench::msSince(timer));
    bench::report("restore_longest_event_ms", app.longestMs);
    bench::reportCount("restored_entries", static_cast<long long>(again.form->playlist()->count()));
    return again.form->playlist()->count() == count ? 0 : 1;
}
