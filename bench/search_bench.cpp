// Times the whole-drive search of the real main window against
// `find ROOT -xdev -name '.?*' -prune -o -iname '*.mp3' -print` on the same tree
// (find passing over hidden folders, as the search does), and measures the
// longest stall of the window's event loop while the search runs, with the
// decorative displays on as a new user has them. Exits with 1 when the search
// and find count differently.
//
//   search_bench [--make-tree [--deep]] [--all-music] [--runs N] [--max-descriptors N] ROOT
//
// --all-music searches for every music kind, as "všechny hudební soubory" does, and
// find for the same masks (four in ten of the tree's files when --make-tree made it).
// --make-tree first fills ROOT, unless it already holds files, with 20,000
// directories and 200,000 files of which 60,000 end in .mp3 in mixed case: 100
// artists of 199 albums each, or with --deep 134 chains of folders nested 150
// levels deep, so that paths run to about 800 bytes on average and 1,700 at most.
// The tree belongs in a real directory such as /tmp/searchtree. The times are the
// best of N runs (3 by default) after one untimed find has warmed the cache; the
// stalls are the worst of them. --max-descriptors lowers the process's limit of open
// descriptors to N while each search runs, as `ulimit -n N` would for the whole program.
#include "BenchSupport.h"

#include "app/Unit1.h"
#include "controls/Digits.h"
#include "filetools/DriveBox.h"
#include "filetools/FileMask.h"
#include "filetools/MusicFormats.h"
#include "platform/SettingsStore.h"
#include "playlist/PlaylistModel.h"
#include "support/MainWindowFixture.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <limits>
#include <sys/resource.h>

namespace {

constexpr int kArtists = 100;
constexpr int kAlbumsPerArtist = 199;  // 100 + 100 * 199 = 20,000 directories
constexpr int kFilesPerDirectory = 10; // 200,000 files
const char* const kSuffixes[kFilesPerDirectory] = {
    ".mp3", ".txt", ".MP3", ".jpg", ".mp3.bak", ".Mp3", ".m3u", ".wav", ".mp4", "_mp3",
}; // three in ten match: 60,000

bool makeFilesIn(const QString& directory) {
    if (!QDir().mkpath(directory))
        return false;
    const QByteArray base = QFile::encodeName(directory);
    for (int i = 0; i < kFilesPerDirectory; ++i) {
        char path[4096];
        std::snprintf(path, sizeof path, "%s/%02d - Some Song Title%s", base.constData(), i + 1,
                      kSuffixes[i]);
        std::FILE* file = std::fopen(path, "wb");
        if (!file)
            return false;
        std::fclose(file);
    }
    return true;
}

constexpr int kChains = 134;
constexpr int kChainDepth = 150; // 134 * 150 = 20,100 directories

bool makeDeepTree(const QString& root) {
    for (int chain = 0; chain < kChains; ++chain) {
        QString directory = root + QStringLiteral("/Chain %1").arg(chain, 3, 10, QChar('0'));
        for (int level = 1; level <= kChainDepth; ++level) {
            if (level > 1)
                directory += QStringLiteral("/Folder %1").arg(level, 3, 10, QChar('0'));
            if (!makeFilesIn(directory))
                return false;
        }
    }
    return true;
}

bool makeTree(const QString& root, bool deep) {
    if (!QDir(root).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)) {
        std::fprintf(stderr, "%s is not empty; using the tree that is there\n", qPrintable(root));
        return true;
    }
    if (deep)
        return makeDeepTree(root);
    for (int artist = 0; artist < kArtists; ++artist) {
        const QString artistDir =
            root + QStringLiteral("/Artist %1").arg(artist, 3, 10, QChar('0'));
        if (!makeFilesIn(artistDir))
            return false;
        for (int album = 0; album < kAlbumsPerArtist; ++album) {
            if (!makeFilesIn(artistDir + QStringLiteral("/Album %1").arg(album, 3, 10, QChar('0'))))
                return false;
        }
    }
    return true;
}

QStringList findArguments(const QString& root, bool allMusic) {
    QStringList names{QStringLiteral("-iname"), QStringLiteral("*.mp3")};
    if (allMusic) {
        names = QStringList{QStringLiteral("(")};
        for (const std::string& mask : tb::parseMaskList(tb::kMusicMasks))
            names << QStringLiteral("-iname") << QString::fromStdString(mask)
                  << QStringLiteral("-o");
        names.back() = QStringLiteral(")");
    }
    return QStringList{root,
                       QStringLiteral("-xdev"),
                       QStringLiteral("-name"),
                       QStringLiteral(".?*"),
                       QStringLiteral("-prune"),
                       QStringLiteral("-o")} +
           names + QStringList{QStringLiteral("-print")};
}

// How many names find prints; also warms the cache for both.
qint64 findCount(const QString& root, bool allMusic) {
    QProcess find;
    find.start(QStringLiteral("find"), findArguments(root, allMusic));
    find.waitForFinished(-1);
    return find.readAllStandardOutput().count('\n');
}

double findMs(const QString& root, bool allMusic) {
    QProcess find;
    find.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    find.start(QStringLiteral("find"), findArguments(root, allMusic));
    find.waitForFinished(-1);
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

struct SearchFigures {
    double ms = 0;
    double maxStallMs = 0;
    double maxBusyMs = 0;
    // When the longest busy stretch ended, and how many entries were in by then.
    double maxBusyAtMs = 0;
    qint64 maxBusyAtEntries = 0;
};

// CPU time of the calling thread: a gap between ticks that the window thread did
// not spend working was the machine's, not the search's.
double threadCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// Lowers the soft limit of open descriptors for as long as it lives; 0 leaves it.
class DescriptorLimit {
public:
    explicit DescriptorLimit(rlim_t limit) {
        ::getrlimit(RLIMIT_NOFILE, &saved_);
        rlimit lowered = saved_;
        lowered.rlim_cur = limit;
        if (limit > 0 && ::setrlimit(RLIMIT_NOFILE, &lowered) != 0)
            std::perror("setrlimit");
    }
    ~DescriptorLimit() { ::setrlimit(RLIMIT_NOFILE, &saved_); }

private:
    rlimit saved_{};
};

SearchFigures timeSearch(TForm1& form, tb::test::ScriptedDialogs& dialogs, rlim_t maxDescriptors) {
    form.playlist()->clear();
    form.Digits1->setValue(0);
    bench::settle();

    // A 1 ms timer: the largest gap between its ticks is the longest the loop was held.
    QElapsedTimer sinceTick;
    double maxGapMs = 0;
    double cpuAtTick = 0;
    SearchFigures figures;
    QElapsedTimer timer;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    ticker.setInterval(1);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        maxGapMs = std::max(maxGapMs, static_cast<double>(sinceTick.nsecsElapsed()) / 1e6);
        sinceTick.restart();
        const double cpu = threadCpuMs();
        if (cpu - cpuAtTick > figures.maxBusyMs) {
            figures.maxBusyMs = cpu - cpuAtTick;
            figures.maxBusyAtMs = bench::msSince(timer);
            figures.maxBusyAtEntries = static_cast<qint64>(form.playlist()->count());
        }
        cpuAtTick = cpu;
    });

    dialogs.answers = {tb::Dialogs::Answer::Yes};
    const DescriptorLimit limit(maxDescriptors);
    timer.start();
    sinceTick.start();
    cpuAtTick = threadCpuMs();
    ticker.start();
    form.Button8Click();
    while (form.driveSearchRunning())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    figures.ms = bench::msSince(timer);
    ticker.stop();
    figures.maxStallMs = std::max(maxGapMs, static_cast<double>(sinceTick.nsecsElapsed()) / 1e6);
    return figures;
}

} // namespace

int main(int argc, char* argv[]) {
    bench::useOffscreenPlatform();
    QApplication app(argc, argv);

    bool make = false;
    bool deep = false;
    bool allMusic = false;
    int runs = 3;
    rlim_t maxDescriptors = 0;
    QString root;
    const QStringList args = app.arguments().mid(1);
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QStringLiteral("--make-tree"))
            make = true;
        else if (args[i] == QStringLiteral("--deep"))
            deep = true;
        else if (args[i] == QStringLiteral("--all-music"))
            allMusic = true;
        else if (args[i] == QStringLiteral("--max-descriptors") && i + 1 < args.size())
            maxDescriptors = std::max(1, args[++i].toInt());
        else if (args[i] == QStringLiteral("--runs") && i + 1 < args.size())
            runs = std::max(1, args[++i].toInt());
        else
            root = args[i];
    }
    if (root.isEmpty()) {
        std::fprintf(stderr, "usage: search_bench [--make-tree [--deep]] [--all-music] [--runs N] "
                             "[--max-descriptors N] "
                             "ROOT\n");
        return 2;
    }
    root = QDir(root).absolutePath();
    if (make && !makeTree(root, deep)) {
        std::fprintf(stderr, "cannot make the tree in %s\n", qPrintable(root));
        return 2;
    }
    if (!QDir(root).exists()) {
        std::fprintf(stderr, "%s does not exist; make it with --make-tree\n", qPrintable(root));
        return 2;
    }

    tb::test::MainWindowFixture fx;
    fx.settingsStore.values.insert(QStringLiteral("Blikatka"), QStringLiteral("ANO"));
    fx.settingsStore.values.insert(QStringLiteral("HledatVse"),
                                   allMusic ? QStringLiteral("ANO") : QStringLiteral("NE"));
    fx.volumes.volumes = {{root, QStringLiteral("BENCH")}};
    tb::test::ScriptedDialogs& dialogs = fx.dialogs;
    TForm1& form = fx.show();
    form.Disk->setDrive(root);
    bench::settle();

    const qint64 findEntries = findCount(root, allMusic);
    double bestFindMs = std::numeric_limits<double>::max();
    double bestSearchMs = std::numeric_limits<double>::max();
    double maxStallMs = 0;
    SearchFigures busiest;
    for (int run = 0; run < runs; ++run) {
        bestFindMs = std::min(bestFindMs, findMs(root, allMusic));
        const SearchFigures search = timeSearch(form, dialogs, maxDescriptors);
        bestSearchMs = std::min(bestSearchMs, search.ms);
        maxStallMs = std::max(maxStallMs, search.maxStallMs);
        if (search.maxBusyMs > busiest.maxBusyMs)
            busiest = search;
    }
    const auto entries = static_cast<qint64>(form.playlist()->count());

    bench::reportCount("entries", entries);
    bench::report("search_ms", bestSearchMs);
    bench::report("find_ms", bestFindMs);
    bench::report("ratio", bestSearchMs / bestFindMs);
    bench::report("max_stall_ms", maxStallMs);
    // The window thread's own CPU time in its longest stretch between two ticks.
    bench::report("max_stall_cpu_ms", busiest.maxBusyMs);
    // Where in its search that stretch ended: time since the start, entries in by then.
    bench::report("max_stall_cpu_at_ms", busiest.maxBusyAtMs);
    bench::reportCount("max_stall_cpu_at_entries", busiest.maxBusyAtEntries);
    // An error box instead of the full result: the search ended early.
    for (const QString& text : dialogs.texts())
        if (!text.startsWith(QStringLiteral("Tato operace")))
            std::fprintf(stderr, "the search said: %s\n", qPrintable(text));
    if (entries != findEntries) {
        std::fprintf(stderr, "the search found %lld entries, find %lld\n",
                     static_cast<long long>(entries), static_cast<long long>(findEntries));
        return 1;
    }
    return 0;
}
