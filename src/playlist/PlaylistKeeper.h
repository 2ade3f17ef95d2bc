#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>
#include <QThreadPool>
#include <QTimer>
#include <cstdint>
#include <memory>

class PlaylistModel;
class QWidget;

namespace tb {
class Dialogs;
class KeptPlaylist;
} // namespace tb

// Keeps the playlist between runs. At start it reads the kept playlist on a worker; after
// that each change is written on the same worker as soon as the one before is (changes
// made meanwhile share one write), so that what the user sees is on the disk within a
// second. Only the first running copy of the program keeps its playlist.
//
// Problems are said once, and only after the window has shown (see windowShown).
class PlaylistKeeper : public QObject {
    Q_OBJECT

public:
    // The store's file in `folder`; an empty folder keeps nothing.
    PlaylistKeeper(PlaylistModel& playlist, tb::Dialogs& dialogs, QWidget& window,
                   const QString& folder);
    // Waits for the last change to be written.
    ~PlaylistKeeper() override;

    // Takes the store for this copy of the program and, where `on`, starts reading it;
    // switched off, the store is deleted.
    void start(bool on);
    // Until the kept playlist is in, the playlist is not to be changed.
    bool restoring() const { return restoring_; }
    bool isOn() const { return on_; }
    // Off: nothing more is written and the store is deleted. On: the playlist as it
    // stands is written.
    void setOn(bool on);
    // Says what went wrong before the window could show it, and from now on says it at once.
    void windowShown();
    // Whether every change so far is on the disk.
    bool settled() const;
    QString storePath() const { return storePath_; }

signals:
    // The kept playlist is in the playlist.
    void restored();

private:
    void changed();
    void writeNow();
    void written(bool ok, const QString& problem);
    void tell(const QString& text);

    PlaylistModel& playlist_;
    tb::Dialogs& dialogs_;
    QWidget& window_;
    QString storePath_;
    std::unique_ptr<QLockFile> lock_;
    // Used on the worker only, one task at a time.
    std::shared_ptr<tb::KeptPlaylist> kept_;
    QThreadPool worker_;
    QTimer retry_;
    bool on_ = false;
    bool keeping_ = false; // this copy holds the store
    bool restoring_ = false;
    bool writing_ = false;
    bool failureSaid_ = false;
    bool windowShown_ = false;
    QString untold_;
    std::uint64_t keptGeneration_ = 0;
};
