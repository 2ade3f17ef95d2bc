// Start-up speed: from starting the program to its splash screen standing painted.
// Runs the real program several times in its probe mode, in which it reports the
// moment the splash was painted and ends; prints the median, the fastest and the
// slowest run. Uses the X display when there is one (run it under xvfb-run for the
// figure that matters), else the offscreen platform. Another program given as the
// argument is measured instead (a bare Qt window that prints the same line makes a baseline).
#include "BenchSupport.h"

#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>
#include <algorithm>
#include <chrono>
#include <vector>

namespace {

long long monotonicNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Milliseconds from the start of one run to the splash painted, or a negative number.
double oneRun(const QString& path) {
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TRACKBINDER_STARTUP_PROBE"), QStringLiteral("1"));
    program.setProcessEnvironment(environment);
    program.setProcessChannelMode(QProcess::SeparateChannels);
    const long long started = monotonicNs();
    program.start(path, {});
    if (!program.waitForFinished(20'000) || program.exitCode() != 0)
        return -1;
    const QByteArray out = program.readAllStandardOutput();
    const QByteArray key = "splash_painted_ns=";
    const qsizetype at = out.indexOf(key);
    if (at < 0)
        return -1;
    const long long painted = out.mid(at + key.size()).trimmed().toLongLong();
    return static_cast<double>(painted - started) / 1e6;
}

} // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("DISPLAY"))
        bench::useOffscreenPlatform();
    QCoreApplication app(argc, argv);
    const QString path =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(TRACKBINDER_PROGRAM);
    constexpr int kRuns = 9;
    oneRun(path); // warms the file cache
    std::vector<double> times;
    for (int i = 0; i < kRuns; ++i) {
        const double ms = oneRun(path);
        if (ms < 0) {
            std::fprintf(stderr, "the program did not report its splash\n");
            return 1;
        }
        times.push_back(ms);
    }
    std::sort(times.begin(), times.end());
    bench::report("startup_to_splash_painted_ms_median", times[kRuns / 2]);
    bench::report("startup_to_splash_painted_ms_min", times.front());
    bench::report("startup_to_splash_painted_ms_max", times.back());
    return 0;
}
