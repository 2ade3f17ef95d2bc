// Types into the playlist's find field at a million entries, a key every 100 ms as a
// quick typist does, for a text held only by the last entry and for one held by none:
// the longest stretch on the window's thread (a key's own handling, or one pass of the
// event loop while the search runs) and the time from the last key to the answer.
// Once over plain ASCII entries, once over Czech ones that must be decoded and folded;
// and for comparison one plain pass over the Czech ones that decodes and folds each.
#include "BenchSupport.h"

#include "playlist/PlaylistFind.h"
#include "playlist/PlaylistModel.h"
#include "playlist/PlaylistView.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <algorithm>
#include <ctime>
#include <string>

namespace {
constexpr int kEntries = 1'000'000;

double threadCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// A stretch by the clock, and by this thread's processor time: on a machine shared with
// others the clock also counts the time that the thread waited for a processor.
struct Stretch {
    Stretch() : cpuStart(threadCpuMs()) { clock.start(); }
    QElapsedTimer clock;
    double cpuStart;
};

struct Typing {
    double longestStretchMs = 0;
    double longestStretchCpuMs = 0;
    double answerMs = 0; // from the last key
};

// Types the text key by key and waits for the search to end after the last.
Typing type(PlaylistFind& find, const QString& text) {
    Typing typing;
    const auto ended = [&typing](const Stretch& stretch) {
        typing.longestStretchMs = std::max(typing.longestStretchMs, bench::msSince(stretch.clock));
        typing.longestStretchCpuMs =
            std::max(typing.longestStretchCpuMs, threadCpuMs() - stretch.cpuStart);
    };
    QTest::keyClick(find.field(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(find.field(), Qt::Key_Backspace);
    QElapsedTimer sinceKey;
    for (qsizetype i = 0; i < text.size(); ++i) {
        sinceKey.start();
        const Stretch key;
        QTest::sendKeyEvent(QTest::Click, find.field(), Qt::Key_unknown, QString(text[i]), {});
        ended(key);
        const bool last = i + 1 == text.size();
        while (find.searching() && (last || bench::msSince(sinceKey) < 100)) {
            const Stretch pass;
            QCoreApplication::processEvents(QEventLoop::AllEvents);
            ended(pass);
        }
        if (last)
            typing.answerMs = bench::msSince(sinceKey);
    }
    return typing;
}

void fillCzech(PlaylistModel& playlist) {
    std::vector<std::string> batch;
    for (int first = 0; first < kEntries; first += 10'000) {
        batch.clear();
        for (int i = first; i < first + 10'000; ++i)
            batch.push_back("Interpret " + std::to_string(i % 1000) + "\\Skladba č. " +
                            std::to_string(i) + " – píseň.mp3");
        if (first + 10'000 == kEntries)
            batch.back() = "Žlutý pes\\Příliš žluťoučký kůň.mp3";
        playlist.appendAll(std::vector<std::string_view>(batch.begin(), batch.end()));
    }
}

bool run(PlaylistModel& playlist, PlaylistFind& find, TPlaylistView& list, const char* name,
         const QString& lastOnly) {
    const std::string prefix = name;
    const Typing found = type(find, lastOnly);
    bench::report((prefix + "_found_last_ms").c_str(), found.answerMs);
    const Typing vain = type(find, QStringLiteral("nikde není"));
    bench::report((prefix + "_not_found_ms").c_str(), vain.answerMs);
    bench::report((prefix + "_longest_stretch_ms").c_str(),
                  std::max(found.longestStretchMs, vain.longestStretchMs));
    bench::report((prefix + "_longest_stretch_cpu_ms").c_str(),
                  std::max(found.longestStretchCpuMs, vain.longestStretchCpuMs));
    return list.currentRow() == static_cast<int>(playlist.count()) - 1;
}
} // namespace

int main(int argc, char* argv[]) {
    bench::useOffscreenPlatform();
    QApplication app(argc, argv);
    QWidget window;
    PlaylistModel playlist;
    auto* list = new TPlaylistView(&window);
    list->setModel(&playlist);
    list->setGeometry(0, 0, 300, 400);
    PlaylistFind find(*list, playlist, window);
    window.show();
    bench::settle();

    bench::fillPlaylist(playlist, kEntries);
    find.open();
    bool ok = run(playlist, find, *list, "ascii",
                  QStringLiteral("track-%1").arg(kEntries - 1, 7, 10, QLatin1Char('0')));

    playlist.clear();
    fillCzech(playlist);
    ok = run(playlist, find, *list, "czech", QStringLiteral("zlutoucky kun")) && ok;

    QElapsedTimer timer;
    timer.start();
    const QString needle = PlaylistFind::folded(QStringLiteral("nikde není"));
    long long matches = 0;
    for (std::size_t row = 0; row < playlist.count(); ++row)
        matches += PlaylistFind::folded(playlist.displayText(playlist.entry(row))).contains(needle);
    bench::report("czech_plain_pass_ms", bench::msSince(timer));
    bench::report("peak_mb", bench::peakResidentMB());
    return ok && matches == 0 ? 0 : 1;
}
