// Saves 10,000 real MP3 files (MPEG frames behind a Xing header, half with an ID3v1
// tag, half with an ID3v2.4 tag) as M3U8, PLS and XSPF through the save's worker,
// with the event loop of the main thread running. Reports the time per entry on a
// warm cache and the longest gap between two ticks of a 1 ms timer on the main
// thread while the save runs.
#include "BenchSupport.h"

#include "playlist/PlaylistExport.h"
#include "support/Mp3Bytes.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

namespace mp3 = tb::test::mp3;

namespace {

constexpr int kFiles = 10'000;

struct Run {
    double usPerEntry = 0;
    double longestGapMs = 0;
    bool written = false;
};

Run save(const std::vector<tb::PlaylistItem>& items, const QString& path,
         tb::PlaylistFormat format) {
    Run run;
    tb::PlaylistExport job(items, path, format, tb::readTrackFields);
    QElapsedTimer sinceTick;
    QTimer ticks;
    ticks.setTimerType(Qt::PreciseTimer);
    ticks.setInterval(1);
    QObject::connect(&ticks, &QTimer::timeout, [&] {
        run.longestGapMs =
            std::max(run.longestGapMs, static_cast<double>(sinceTick.nsecsElapsed()) / 1e6);
        sinceTick.restart();
    });
    QObject::connect(&job, &tb::PlaylistExport::finished, [&] {
        run.written = true;
        QCoreApplication::quit();
    });
    QObject::connect(&job, &tb::PlaylistExport::failed, [&](const QString& message) {
        std::fprintf(stderr, "save failed: %s\n", qPrintable(message));
        QCoreApplication::quit();
    });
    QElapsedTimer timer;
    timer.start();
    sinceTick.start();
    ticks.start();
    job.start();
    QCoreApplication::exec();
    run.usPerEntry = bench::msSince(timer) * 1e3 / static_cast<double>(items.size());
    return run;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    std::vector<tb::PlaylistItem> items(kFiles);
    for (int i = 0; i < kFiles; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "track-%05d.mp3", i);
        const mp3::Texts texts{"Title " + std::to_string(i), "Artist " + std::to_string(i % 100),
                               "Album " + std::to_string(i % 10)};
        const std::string bytes = mp3::file(10, i % 2 ? mp3::Tag::Id3v24 : mp3::Tag::Id3v1, texts);
        QFile file(dir.filePath(QLatin1String(name)));
        if (!file.open(QIODevice::WriteOnly) ||
            file.write(bytes.data(), static_cast<qint64>(bytes.size())) !=
                static_cast<qint64>(bytes.size()))
            return 1;
        items[static_cast<std::size_t>(i)].text = QFile::encodeName(file.fileName()).toStdString();
        items[static_cast<std::size_t>(i)].file = items[static_cast<std::size_t>(i)].text;
    }
    // Once to warm the cache.
    if (!save(items, dir.filePath(QStringLiteral("warm.m3u8")), tb::PlaylistFormat::M3u8).written)
        return 1;
    const struct {
        const char* name;
        tb::PlaylistFormat format;
    } formats[] = {{"m3u8", tb::PlaylistFormat::M3u8},
                   {"pls", tb::PlaylistFormat::Pls},
                   {"xspf", tb::PlaylistFormat::Xspf}};
    double longestGap = 0;
    for (const auto& format : formats) {
        const Run run =
            save(items, dir.filePath(QStringLiteral("list.") + format.name), format.format);
        if (!run.written)
            return 1;
        bench::report((std::string(format.name) + "_us_per_entry").c_str(), run.usPerEntry);
        bench::report((std::string(format.name) + "_longest_gap_ms").c_str(), run.longestGapMs);
        longestGap = std::max(longestGap, run.longestGapMs);
    }
    bench::report("longest_gap_ms", longestGap);
    return 0;
}
