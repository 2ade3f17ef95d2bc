#pragma once

#include "playlist/PlaylistItem.h"
#include "playlist/formats/PlaylistFormat.h"
#include "playlist/formats/SavedPaths.h"
#include "playlist/store/EntryStore.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QThread;

namespace tb {

// What a music file says of itself: its tag's texts and its audio's length.
struct TrackFields {
    QString title;
    QString artist;
    QString album;
    int milliseconds = -1; // -1 where not known
};

// Reads a file's fields, on the export's worker threads (several at once); nothing
// where the file cannot be read. May throw: that file then counts as unreadable.
using TrackReader = std::function<std::optional<TrackFields>(const QByteArray& path)>;

// The reader of the real files: the texts of the tag the tag panel shows and the
// length of the audio.
std::optional<TrackFields> readTrackFields(const QByteArray& path);

// Saves a playlist on a worker thread: reads for every entry that knows its file
// what the file says (tags and length), then writes the whole file in the format
// asked for and puts it in place of any earlier one. The file appears whole or not
// at all: a cancelled or failed save leaves no file and no temporary file behind,
// and an earlier file as it was.
//
// For each entry: a file that can be read gives fresh info, its title the file's name
// without extension where the tag has no title and no artist; one that cannot keeps
// what the entry came with, or the name and a length of -1. An entry without a file
// keeps what it came with, or takes its own text's name. Only the formats with a
// writer of their own are saved here (not M3U, which the window writes at once).
class PlaylistExport : public QObject {
    Q_OBJECT

public:
    PlaylistExport(std::vector<PlaylistItem> items, QString path, PlaylistFormat format,
                   TrackReader reader, QObject* parent = nullptr);
    // The same for the playlist's entries as PlaylistModel::snapshot gives them: each is
    // taken apart on the worker, so the window spends only the copy.
    PlaylistExport(EntryStore entries, QString path, PlaylistFormat format, TrackReader reader,
                   QObject* parent = nullptr);
    // Cancels a save still running and waits for its worker, which stops at the
    // next entry.
    ~PlaylistExport() override;

    // How entries that know their file name it in the saved file; before start().
    void setPathMode(SavedPathMode mode) { pathMode_ = mode; }

    // Starts the worker; once only.
    void start();
    // Asks the worker to stop; `cancelled` follows unless the file was already in place.
    void cancel() { cancelRequested_.store(true, std::memory_order_relaxed); }
    bool isRunning() const;

    const QString& path() const { return path_; }
    // Every entry as saved, once `finished` has come.
    const std::vector<PlaylistItem>& items() const { return items_; }

    // The time between two progress signals.
    static constexpr int kProgressIntervalMs = 50;
    // The most threads that read files at once.
    static constexpr int kMostReaders = 4;

signals:
    // Entries read so far of all; queued to the thread that owns the export.
    void progress(int done, int total);
    // Exactly one of the three ends every started save.
    void finished();
    void failed(const QString& message);
    void cancelled();

private:
    // The worker's whole job; emits the signals.
    void run();
    // Reads every entry's file; false when cancelled first.
    bool readAll(int total);
    // Gives each entry the text its file is saved under in the path mode.
    void applyPathMode();

    EntryStore entries_; // taken apart into items_ by the worker
    std::vector<PlaylistItem> items_;
    QString path_;
    PlaylistFormat format_;
    SavedPathMode pathMode_ = SavedPathMode::AsEntered;
    TrackReader reader_;
    std::atomic<bool> cancelRequested_{false};
    std::unique_ptr<QThread> worker_;
};

// The info an entry is saved with, from what its file said (nothing where it could
// not be read). Also used by the export's worker.
void applyTrackFields(PlaylistItem& item, const std::optional<TrackFields>& fields);

// The name of a file without its folder and extension: "b" of "/a/b.mp3" or "C:\a\b.mp3".
std::string nameWithoutExtension(std::string_view path);

} // namespace tb
