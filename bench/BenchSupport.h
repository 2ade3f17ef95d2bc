#pragma once

#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <cstddef>
#include <cstdio>

class PlaylistModel;
class QTemporaryDir;

namespace bench {

// Resident memory now and at its peak, in MB, read from /proc/self/status.
double residentMB();
double peakResidentMB();
// Page faults the process has taken so far, on all its threads.
long long pageFaults();

// Prints one "name=value" line, the form that scripts read.
void report(const char* name, double value);
// The same for a count, printed as a whole number.
void reportCount(const char* name, long long value);

// Runs the event loop until nothing is pending, so that layouts and paints are done.
void settle();

// Runs the event loop for this long with nothing to do but the program's own timers.
void idle(int seconds);

// Starts the offscreen platform unless a platform was chosen.
void useOffscreenPlatform();

// Time spent in the playlist by the clock and by this thread's processor time; on a
// machine shared with others the second shows the work itself, page faults included.
struct PlaylistTimes {
    double ms = 0;
    double cpuMs = 0;
    std::size_t fileBytes = 0; // the bytes of the files' paths appended
};

// Appends entries of about forty bytes ("C:\MUSIC\Artist 001\track-0000001.mp3")
// in batches, so that the bench's own scratch stays small. Returns the time spent in
// the playlist, the bench's own formatting of the entries left out. With files, each
// entry comes with the path of its file ("/home/user/Music/Artist 001/track-0000001.mp3").
PlaylistTimes fillPlaylist(PlaylistModel& playlist, int entries, bool withFiles = false);

// Fills the folder with `count` empty files "Track 00000.mp3" and on; false when one
// cannot be made.
bool makeMp3Files(const QTemporaryDir& dir, int count);

double msSince(const QElapsedTimer& timer);

// The largest gap between two runs of the event loop while it lasts.
class StretchMeter {
public:
    StretchMeter() {
        ticker_.setInterval(1);
        QObject::connect(&ticker_, &QTimer::timeout, [this] { tick(); });
    }
    void start() {
        longest_ = 0;
        last_.start();
        ticker_.start();
    }
    double stop() {
        tick();
        ticker_.stop();
        return longest_;
    }

private:
    void tick() {
        longest_ = std::max(longest_, msSince(last_));
        last_.restart();
    }
    QTimer ticker_;
    QElapsedTimer last_;
    double longest_ = 0;
};

} // namespace bench
