#include "playlist/DriveSearch.h"

#include "controls/Digits.h"
#include "filetools/DriveBox.h"
#include "filetools/DriveWalk.h"
#include "platform/Dialogs.h"
#include "platform/DirectoryListing.h"
#include "platform/ErrorReport.h"
#include "platform/Windows1250.h"
#include "playlist/PlaylistModel.h"

#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

// The search could not open a folder: no descriptor was to be had.
std::string unreachableMessage(const std::string& folder) {
    const QString text =
        QStringLiteral("Složku %1 nelze otevřít, protože je otevřeno příliš mnoho souborů.\n"
                       "Hledání skončilo, tato složka ani složky za ní prohledány nebyly.")
            .arg(tb::fromUtf8OrWindows1250(folder));
    return text.toStdString();
}

// Matches gathered by the worker since its last hand-over.
using Batch = tb::PathBatch;

} // namespace

// What the search keeps between events: the worker, the batches it handed over,
// and the batch being appended.
class DriveSearch::Search : public QObject {
public:
    // How often the worker hands over, and how long the window thread appends
    // before it lets other events in.
    static constexpr std::chrono::milliseconds HandOverEvery{10};
    static constexpr qint64 AppendSliceMs = 5;
    // Entries appended between two looks at the clock.
    static constexpr std::size_t AppendChunk = 256;

    Search(const Widgets& widgets, PlaylistModel& playlist, tb::ErrorReport& errors)
        : widgets_(widgets), playlist_(playlist), errors_(errors) {
        // Every slice runs from a zero timer rather than from a posted event:
        // timers of the window that fell due meanwhile (the displays, the counter's
        // roll) run first. Posted events are taken before them, so that two slices
        // could run back to back.
        continueDrain_.setSingleShot(true);
        continueDrain_.setInterval(0);
        connect(&continueDrain_, &QTimer::timeout, this, [this] { drain(generation_); });
    }

    // The window is going away: stop the worker before anything it posts to goes.
    ~Search() override { stopWorker(); }

    bool running() const { return running_; }

    void start(std::string directoryPath, bool allMusic) {
        if (running_)
            return;
        running_ = true;
        // The whole search is undone as one change.
        playlist_.beginStep(QStringLiteral("Přidat všechny MP3 na disku"));
        setCommandsEnabled(false);
        stopRequested_ = false;
        workerDone_ = false;
        drainPosted_ = false;
        failure_.reset();
        try {
            worker_ = std::thread([this, path = std::move(directoryPath), allMusic,
                                   generation = generation_] { work(path, allMusic, generation); });
        } catch (...) {
            endSearch();
            throw;
        }
    }

    // Stops the walk at once and drops what it found but the window has not appended.
    void stop() {
        if (!running_)
            return;
        stopWorker();
        endSearch();
    }

private:
    // Gathers matches on the worker thread and hands them over on time.
    class HandOverSink final : public tb::WalkSink {
    public:
        HandOverSink(Search& state, unsigned generation)
            : state_(state), generation_(generation), lastHandOver_(Clock::now()) {}

        void found(std::string_view entry) override {
            batch_.append(entry);
            handOverWhenDue();
        }
        void listed() override { handOverWhenDue(); }

        void handOverRest() {
            if (!batch_.empty())
                state_.handOver(std::move(batch_), generation_);
            batch_.clear();
        }

    private:
        using Clock = std::chrono::steady_clock;

        void handOverWhenDue() {
            if (batch_.empty())
                return;
            const Clock::time_point now = Clock::now();
            if (now - lastHandOver_ < HandOverEvery)
                return;
            lastHandOver_ = now;
            handOverRest();
        }

        Search& state_;
        const unsigned generation_;
        Batch batch_;
        Clock::time_point lastHandOver_;
    };

    // Worker thread.
    void work(const std::string& directoryPath, bool allMusic, unsigned generation) {
        HandOverSink sink(*this, generation);
        std::optional<std::string> failure;
        try {
            tb::WalkOptions options;
            options.separator = QDir::separator().toLatin1();
            options.stop = &stopRequested_;
            options.allMusic = allMusic;
            tb::searchDriveForMp3(directoryPath, sink, options);
            sink.handOverRest();
        } catch (const tb::FolderUnreachable& error) {
            // What came before that folder is kept; the box says where the search ended.
            sink.handOverRest();
            failure = unreachableMessage(error.folder());
        } catch (const std::exception& error) { // out of memory: end the search, say why
            failure = error.what();
        }
        const std::lock_guard lock(mutex_);
        failure_ = std::move(failure);
        workerDone_ = true;
        postDrainLocked(generation);
    }

    // Worker thread.
    void handOver(Batch&& batch, unsigned generation) {
        const std::lock_guard lock(mutex_);
        ready_.push_back(std::move(batch));
        postDrainLocked(generation);
    }

    // One drain at a time is waiting in the event queue; it takes all that came.
    void postDrainLocked(unsigned generation) {
        if (drainPosted_)
            return;
        drainPosted_ = true;
        QMetaObject::invokeMethod(
            this,
            [this, generation] {
                if (generation == generation_ && running_)
                    continueDrain_.start();
            },
            Qt::QueuedConnection);
    }

    // Window thread: appends handed-over entries for one slice of time.
    void drain(unsigned generation) {
        if (generation != generation_ || !running_)
            return; // posted by a search that has been stopped since
        try {
            QElapsedTimer slice;
            slice.start();
            for (;;) {
                if (currentNext_ == current_.size()) {
                    const Next next = takeNextBatch();
                    if (next == Next::AllIn)
                        finish();
                    if (next != Next::Taken)
                        return;
                }
                appendChunk();
                if (slice.elapsed() >= AppendSliceMs) {
                    continueDrain_.start(); // the rest after the waiting events
                    return;
                }
            }
        } catch (const std::exception& error) {
            stop();
            errors_.showError(error);
        }
    }

    enum class Next { Taken, Waiting, AllIn };

    // Waiting: nothing has come yet, and the next hand-over posts a new drain.
    Next takeNextBatch() {
        const std::lock_guard lock(mutex_);
        if (ready_.empty()) {
            drainPosted_ = false;
            return workerDone_ ? Next::AllIn : Next::Waiting;
        }
        current_ = std::move(ready_.front());
        ready_.pop_front();
        currentNext_ = 0;
        return Next::Taken;
    }

    void appendChunk() {
        const std::size_t end = std::min(current_.size(), currentNext_ + AppendChunk);
        views_.clear();
        for (std::size_t i = currentNext_; i < end; ++i)
            views_.push_back(current_.at(i));
        playlist_.appendAll(views_, views_); // each entry is its file's path
        for (std::size_t i = currentNext_; i < end; ++i)
            widgets_.counter.Increment();
        currentNext_ = end;
    }

    // The last entry is in.
    void finish() {
        std::optional<std::string> failure;
        {
            const std::lock_guard lock(mutex_);
            failure = std::move(failure_);
        }
        stopWorker();
        endSearch();
        if (failure)
            errors_.showError(std::runtime_error(*failure));
    }

    void stopWorker() {
        stopRequested_ = true;
        if (worker_.joinable())
            worker_.join();
    }

    // The worker has ended; forget its batches and give the controls back.
    void endSearch() {
        {
            const std::lock_guard lock(mutex_);
            ready_.clear();
            drainPosted_ = false;
        }
        continueDrain_.stop();
        current_.clear();
        currentNext_ = 0;
        ++generation_;
        if (running_)
            playlist_.endStep();
        running_ = false;
        widgets_.searchingSign.hide();
        setCommandsEnabled(true);
    }

    // No second search while one runs.
    void setCommandsEnabled(bool enabled) {
        widgets_.searchButton.setEnabled(enabled);
        widgets_.searchAction.setEnabled(enabled);
    }

    const Widgets widgets_;
    PlaylistModel& playlist_;
    tb::ErrorReport& errors_;
    bool running_ = false;
    unsigned generation_ = 0;
    std::atomic<bool> stopRequested_{false};
    std::thread worker_;

    std::mutex mutex_; // guards the members below, shared with the worker
    std::deque<Batch> ready_;
    bool drainPosted_ = false;
    bool workerDone_ = false;
    std::optional<std::string> failure_;

    // Window thread only: the batch being appended and how far it has come.
    Batch current_;
    std::size_t currentNext_ = 0;
    QTimer continueDrain_;
    std::vector<std::string_view> views_;
};

DriveSearch::DriveSearch(const Widgets& widgets, PlaylistModel& playlist, tb::Dialogs& dialogs,
                         tb::ErrorReport& errors, QWidget& window)
    : widgets_(widgets), dialogs_(dialogs), window_(window),
      search_(std::make_unique<Search>(widgets, playlist, errors)) {}

DriveSearch::~DriveSearch() = default;

void DriveSearch::stop() {
    search_->stop();
}

bool DriveSearch::running() const {
    return search_->running();
}

void DriveSearch::askAndSearchDrive() {
    const QString drive = widgets_.drives.Drive();
    if (running() || drive.isEmpty())
        return;
#ifdef Q_OS_WIN
    // Drive letters: named in upper case, searched from the lower-case root.
    const QString named = drive.left(1).toUpper();
    const QString start = drive.left(1).toLower() + QStringLiteral(":\\");
#else
    // Mount points: named and searched as they are.
    const QString& named = drive;
    const QString start = drive.endsWith(QDir::separator()) ? drive : drive + QDir::separator();
#endif
    const QString question = QStringLiteral("Tato operace může trvat velice dlouho.\n"
                                            "Opravdu chcete prohledat celý disk ") +
                             named + QStringLiteral(": ?");
    if (dialogs_.confirm(&window_, question) != tb::Dialogs::Answer::Yes)
        return;
    widgets_.searchingSign.show();
    this->start(start);
}

void DriveSearch::start(const QString& directoryPath) {
    search_->start(QFile::encodeName(directoryPath).toStdString(), allMusic_);
}
