#include "BenchSupport.h"

#include "playlist/PlaylistModel.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <ctime>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <vector>

namespace bench {

namespace {
double statusFieldMB(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string prefix = std::string(field) + ':';
    while (std::getline(status, line)) {
        if (line.rfind(prefix, 0) == 0)
            return std::stod(line.substr(prefix.size())) / 1024.0; // kB
    }
    return 0.0;
}
} // namespace

double residentMB() {
    return statusFieldMB("VmRSS");
}
double peakResidentMB() {
    return statusFieldMB("VmHWM");
}
long long pageFaults() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt + usage.ru_majflt;
}

void report(const char* name, double value) {
    std::printf("%s=%.3f\n", name, value);
    std::fflush(stdout);
}

void reportCount(const char* name, long long value) {
    std::printf("%s=%lld\n", name, value);
    std::fflush(stdout);
}

void settle() {
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void idle(int seconds) {
    QEventLoop loop;
    QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
    loop.exec();
}

void useOffscreenPlatform() {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

namespace {
double threadCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// Adds the time from its start to its end to `times`.
class PlaylistStretch {
public:
    explicit PlaylistStretch(PlaylistTimes& times) : times_(times), cpuStart_(threadCpuMs()) {
        timer_.start();
    }
    ~PlaylistStretch() {
        times_.ms += static_cast<double>(timer_.nsecsElapsed()) / 1e6;
        times_.cpuMs += threadCpuMs() - cpuStart_;
    }
    PlaylistStretch(const PlaylistStretch&) = delete;
    PlaylistStretch& operator=(const PlaylistStretch&) = delete;

private:
    PlaylistTimes& times_;
    QElapsedTimer timer_;
    double cpuStart_;
};
} // namespace

PlaylistTimes fillPlaylist(PlaylistModel& playlist, int entries, bool withFiles) {
    constexpr int kBatch = 10'000;
    PlaylistTimes times;
    {
        const PlaylistStretch stretch(times);
        playlist.reserve(static_cast<std::size_t>(entries), static_cast<std::size_t>(entries) * 40,
                         withFiles ? static_cast<std::size_t>(entries) * 45 : 0);
    }
    std::string bytes;
    std::vector<std::size_t> ends;
    std::vector<std::string_view> batch;
    std::vector<std::string_view> files;
    const auto views = [](const std::string& all, const std::vector<std::size_t>& ends,
                          std::vector<std::string_view>& out) {
        out.clear();
        std::size_t begin = 0;
        for (std::size_t end : ends) {
            out.emplace_back(all.data() + begin, end - begin);
            begin = end;
        }
    };
    std::string fileBytes;
    std::vector<std::size_t> fileEnds;
    for (int first = 0; first < entries; first += kBatch) {
        const int last = std::min(entries, first + kBatch);
        bytes.clear();
        ends.clear();
        fileBytes.clear();
        fileEnds.clear();
        for (int i = first; i < last; ++i) {
            char line[64];
            const int length = std::snprintf(line, sizeof line,
                                             "C:\\MUSIC\\Artist %03d\\track-%07d.mp3", i % 1000, i);
            bytes.append(line, static_cast<std::size_t>(length));
            ends.push_back(bytes.size());
            if (withFiles) {
                const int fileLength = std::snprintf(
                    line, sizeof line, "/home/user/Music/Artist %03d/track-%07d.mp3", i % 1000, i);
                fileBytes.append(line, static_cast<std::size_t>(fileLength));
                fileEnds.push_back(fileBytes.size());
            }
        }
        views(bytes, ends, batch);
        views(fileBytes, fileEnds, files);
        times.fileBytes += fileBytes.size();
        const PlaylistStretch stretch(times);
        playlist.appendAll(batch, files);
    }
    return times;
}

bool makeMp3Files(const QTemporaryDir& dir, int count) {
    for (int i = 0; i < count; ++i) {
        QFile file(dir.filePath(QStringLiteral("Track %1.mp3").arg(i, 5, 10, QLatin1Char('0'))));
        if (!file.open(QIODevice::WriteOnly))
            return false;
    }
    return true;
}

double msSince(const QElapsedTimer& timer) {
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

} // namespace bench
