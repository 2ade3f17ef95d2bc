#pragma once

#include "playlist/store/EntryStore.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

class PlaylistModel;
class QProgressDialog;
class QTimer;
class QWidget;
class TDigits;
class TPlaylistView;

namespace tb {
class Dialogs;
class ErrorReport;
} // namespace tb

// Shapes the playlist: moves the selected entries, sorts, reverses and shuffles,
// removes duplicates, missing files and the selected entries, and undoes and redoes
// every change.
//
// A command on a long playlist works on a snapshot on a worker thread and puts its
// result in place in one short step, so the window keeps answering; a box with
// progress and "Zrušit" shows after 300 ms, and cancelling leaves the playlist as it
// was. A playlist changed meanwhile (an entry added) has the command run again on it.
class PlaylistCurating : public QObject {
    Q_OBJECT

public:
    struct Widgets {
        TPlaylistView& list;
        TDigits& counter;
    };
    enum class SortKey { Text, FileName, FolderAndName, ArtistAndTitle };

    // Reads the artist and title of an entry's file (bytes of its path), on a worker
    // thread; false where the file cannot be read.
    using TagReader = std::function<bool(const std::string& path, QString& artist, QString& title)>;

    // window is the parent of the boxes it shows.
    PlaylistCurating(const Widgets& widgets, PlaylistModel& playlist, tb::Dialogs& dialogs,
                     tb::ErrorReport& errors, QWidget& window);
    // A running command is cancelled and its worker waited for.
    ~PlaylistCurating() override;

    void moveUp();
    void moveDown();
    void moveToTop();
    void moveToBottom();
    // The selected entries dragged and dropped before the entry at row (the row count:
    // at the end).
    void moveBefore(int row);
    void sort(SortKey key);
    void reverse();
    void shuffle();
    void removeDuplicates();
    void removeMissing();
    void removeSelected();
    void undo();
    void redo();

    // Whether a command still runs.
    bool busy() const { return job_ != nullptr; }
    // A command whose entries weigh less than this runs at once, on the window's thread;
    // an entry weighs 1 for a move, more where each needs a sort key or a file checked.
    void setWorkerThreshold(std::size_t weight) { workerThreshold_ = weight; }
    void setTagReader(TagReader reader) { tagReader_ = std::move(reader); }
    void setShuffleSeed(std::uint64_t seed) { shuffleSeed_ = seed; }

    // About 5 ms of the lightest work.
    static constexpr std::size_t kDefaultWorkerThreshold = 100'000;
    static constexpr int kProgressDelayMs = 300;
    // What an entry weighs beside a move: a sort key takes some twenty times as long, a
    // look at the file system as much, a file's tag a hundred times more.
    static constexpr std::size_t kKeyWeight = 20;
    static constexpr std::size_t kTagWeight = 2000;

    // What a command's work gives back; `entries` empty when nothing changes.
    struct Result {
        std::optional<tb::EntryStore> entries;
        std::vector<bool> selected; // the new selection; empty: none
        std::vector<bool> flagged;  // the rows found, for a command that asks first
        std::size_t count = 0;      // how many were removed or found
    };
    // Counts what is done of all, and tells the work that the user cancelled.
    struct Progress {
        std::atomic<std::size_t> done{0};
        std::atomic<std::size_t> total{0};
        std::atomic<bool> cancelled{false};
    };
    using Work = std::function<Result(const tb::EntryStore& entries,
                                      const std::vector<bool>& selected, Progress& progress)>;

signals:
    // A command started or ended: the commands that change the playlist wait till then.
    void busyChanged();

private:
    struct Job;
    // Runs the work on a snapshot, then hands its result to finish on the window's thread.
    void run(const QString& name, const QString& label, Work work,
             std::function<void(Result&)> finish, std::size_t weight = 1);
    void start(std::shared_ptr<Job> job);
    void jobDone(const std::shared_ptr<Job>& job);
    void endJob();
    // Shows the box with the progress once the command has run for a while.
    void showProgress();
    // Puts a reordering or a removal in place and selects what it says.
    void apply(const QString& name, Result& result);
    void rearrange(const QString& name, Work work);
    bool onWorker(std::size_t entries, std::size_t weight) const {
        return entries * weight >= workerThreshold_;
    }
    void afterChange();

    Widgets widgets_;
    PlaylistModel& playlist_;
    tb::Dialogs& dialogs_;
    tb::ErrorReport& errors_;
    QWidget& window_;
    TagReader tagReader_;
    std::uint64_t shuffleSeed_;
    std::size_t workerThreshold_ = kDefaultWorkerThreshold;
    std::shared_ptr<Job> job_;
    std::thread worker_;
    QProgressDialog* progressBox_ = nullptr;
    QTimer* progressTimer_ = nullptr;
    QElapsedTimer jobClock_;
};
