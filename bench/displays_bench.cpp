// The animated displays of the real main window with "Blikatka" on: the cost of one
// counter frame, one LCD step and one gauge paint; adding 50,000 files in one press of
// ">>> Přidat >>>"; and the longest stall of the event loop while the displays run.
#include "BenchSupport.h"

#include "app/Unit1.h"
#include "controls/Digits.h"
#include "controls/Lcd99.h"
#include "controls/Progress.h"
#include "filetools/FileListBox.h"
#include "playlist/PlaylistModel.h"
#include "support/MainWindowFixture.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <ctime>
#include <functional>
#include <vector>

namespace {

// Times every event that a display or its timers handle, so that a stall of the loop can be
// told apart from the machine's other load.
class TimingApplication : public QApplication {
public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override {
        if (!watched.contains(receiver))
            return QApplication::notify(receiver, event);
        QElapsedTimer timer;
        timer.start();
        const bool handled = QApplication::notify(receiver, event);
        longestMs = std::max(longestMs, bench::msSince(timer));
        return handled;
    }

    QList<const QObject*> watched;
    double longestMs = 0;
};

// The median time of one call, in microseconds.
double medianMicroseconds(int samples, const std::function<void()>& work) {
    std::vector<double> times;
    times.reserve(static_cast<std::size_t>(samples));
    QElapsedTimer timer;
    for (int i = 0; i < samples; ++i) {
        timer.start();
        work();
        times.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e3);
    }
    std::nth_element(times.begin(), times.begin() + samples / 2, times.end());
    return times[static_cast<std::size_t>(samples / 2)];
}

// Runs the event loop for a while with a 1 ms probe timer; the longest time between two
// of its ticks is the longest stall.
double longestLoopGapMs(int runMs) {
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    QElapsedTimer sinceProbe;
    double longestGapMs = 0;
    QObject::connect(&probe, &QTimer::timeout, [&] {
        longestGapMs = std::max(longestGapMs, bench::msSince(sinceProbe));
        sinceProbe.restart();
    });
    QEventLoop loop;
    QTimer::singleShot(runMs, &loop, &QEventLoop::quit);
    probe.start(1);
    sinceProbe.start();
    loop.exec();
    return longestGapMs;
}

double threadCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

} // namespace

int main(int argc, char* argv[]) {
    bench::useOffscreenPlatform();
    TimingApplication app(argc, argv);
    constexpr int kFiles = 50'000;
    constexpr int kSamples = 2'000;

    QTemporaryDir dir;
    if (!bench::makeMp3Files(dir, kFiles))
        return 2;

    tb::test::MainWindowFixture fx;
    fx.settingsStore.values.insert(QStringLiteral("Blikatka"), QStringLiteral("ANO"));
    TForm1& form = fx.show();
    bench::settle();
    if (!form.LCD991->isVisible() || !form.Timer2->isActive())
        return 3;

    // One frame of each display, painted at once as it is when it changes.
    form.Digits1->setValue(123456);
    bench::report("counter_frame_us",
                  medianMicroseconds(kSamples, [&] { form.Digits1->repaint(); }));
    form.LCD991->setAnimationDelay(7 * 100'000); // hold the change open while steps are timed
    form.LCD991->setValue(QStringLiteral("9876543210"));
    form.LCD991->repaint();
    const bool midChange = form.LCD991->changing();
    bench::report("lcd_step_us", medianMicroseconds(kSamples, [&] { form.LCD991->repaint(); }));
    form.LCD991->setAnimationDelay(250);
    form.PG1->setProgress(77);
    bench::report("gauge_paint_us", medianMicroseconds(kSamples, [&] { form.PG1->repaint(); }));

    // One press of ">>> Přidat >>>" with every file selected; the counter steps once per file.
    fx.browse(dir.path());
    form.FileListBox1->selectAll();
    bench::settle();
    QElapsedTimer timer;
    timer.start();
    const double cpuBefore = threadCpuMs();
    form.Button1->click();
    QCoreApplication::processEvents();
    bench::report("add_50000_files_ms", bench::msSince(timer));
    bench::report("add_50000_files_cpu_ms", threadCpuMs() - cpuBefore);
    const std::size_t added = form.playlist()->count();
    bench::reportCount("entries_added", added);

    // The loop's longest gap with the displays still, then over ten seconds of running
    // displays, changing every half second rather than every three, the counter stepping
    // now and then too. Other programs on the machine stall the loop as well; the first
    // figure shows how much.
    form.Timer2->stop();
    bench::report("longest_stall_displays_still_ms", longestLoopGapMs(10'000));
    for (QObject* display : {static_cast<QObject*>(form.LCD991), static_cast<QObject*>(form.PG1),
                             static_cast<QObject*>(form.Digits1)}) {
        app.watched << display;
        for (QObject* child : display->children())
            app.watched << child;
    }
    app.watched << form.Timer2;
    form.Timer2->start(500);
    QTimer counterSteps;
    QObject::connect(&counterSteps, &QTimer::timeout, [&] { form.Digits1->Increment(); });
    counterSteps.start(700);
    bench::report("longest_stall_ms", longestLoopGapMs(10'000));
    bench::report("longest_display_event_ms", app.longestMs);

    return midChange && added == kFiles ? 0 : 1;
}
