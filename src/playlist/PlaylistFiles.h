#pragma once

#include "playlist/formats/SavedPaths.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

class FileBrowser;
class PlaylistModel;
class QRadioButton;
class QRandomGenerator;
class QWidget;
class TDigits;
class TDirectoryListBox;
class TFileListBox;

namespace tb {
class Dialogs;
class ErrorReport;
class Launcher;
class PlaylistExport;
enum class PlaylistFormat;
class Switches;
} // namespace tb

// Saves the playlist to a file, appends a file's lines to it, and hands the selected
// music files to the player through a play file that it removes a while later.
//
// A plain M3U is written at once, its entries' bytes alone. M3U8, PLS and XSPF read
// each entry's file for its tag and length first: that runs on worker threads,
// with a progress box whose Cancel leaves no file behind; the switches that act
// after a save act when the file is in place.
//
// A child of the window, so that its play files' timers are found among the window's;
// the window's owner of it deletes it before the window's children go.
class PlaylistFiles : public QObject {
public:
    // Long enough for a player to have read its playlist.
    static constexpr int kPlayFileLifetimeMs = 60'000;

    struct Widgets {
        TDigits& counter;
        TDirectoryListBox& directories;
        TFileListBox& files;
        QRadioButton& lastDirectory; // the playlist is named after the shown directory
    };

    // random names the play files; window is the parent of the boxes it shows.
    PlaylistFiles(const Widgets& widgets, PlaylistModel& playlist, const FileBrowser& browser,
                  const tb::Switches& switches, tb::Dialogs& dialogs, tb::ErrorReport& errors,
                  tb::Launcher& launcher, QRandomGenerator& random, QWidget& window);
    // Whatever happens to the timers, no play file outlives the window.
    ~PlaylistFiles() override;

    // Where the play files go; the user's cache folder when none is set.
    void setCacheFolder(const QString& folder) { cacheFolder_ = folder; }

    // How a save names the entries' files; as the playlist holds them at first.
    void setSavedPathMode(tb::SavedPathMode mode) { pathMode_ = mode; }

    void save();
    void open();
    void playSelected();
    // Whether a save still reads files or writes on its worker.
    bool saving() const { return export_ != nullptr; }

private:
    // Saves on the worker threads, with the progress shown; afterSave when it is in place.
    void startExport(const QString& path, tb::PlaylistFormat format);
    // What a save does once the file is in place: empties the playlist, starts the player.
    void afterSave(const QString& path);
    // Starts the player on a playlist file; a player that cannot start, or that gives up
    // soon after its start, is reported (afterFailure runs first in the late case).
    bool startPlayer(const QString& playlistPath, std::function<void()> afterFailure = {});
    // A player that gave up needs its play file no longer: removed at once, timer and all.
    void removeNow(const QString& path);
    // Keeps a play file for the player to read, and removes it a while later. The
    // timer is named after the file.
    void removeLater(const QString& path);

    Widgets widgets_;
    PlaylistModel& playlist_;
    const FileBrowser& browser_;
    const tb::Switches& switches_;
    tb::Dialogs& dialogs_;
    tb::ErrorReport& errors_;
    tb::Launcher& launcher_;
    QRandomGenerator& random_;
    QWidget& window_;
    QString cacheFolder_;
    tb::SavedPathMode pathMode_ = tb::SavedPathMode::AsEntered;
    // The name the save dialog proposes: the last chosen path, or the playlist name
    // of the shown directory that the last save proposed.
    QString saveDialogName_;
    // The type the user last chose in the save dialog.
    QString saveFilter_;
    tb::PlaylistExport* export_ = nullptr; // the running save, a child
    QStringList pendingPlayFiles_;
};
