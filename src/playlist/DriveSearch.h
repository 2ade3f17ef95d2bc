#pragma once

#include <QString>
#include <memory>

class PlaylistModel;
class QAction;
class QLabel;
class QPushButton;
class QWidget;
class TDigits;
class TDriveBox;

namespace tb {
class Dialogs;
class ErrorReport;
} // namespace tb

// Adds every MP3 file of the drive box's drive to the playlist, or every music file.
//
// The walk runs on a worker thread and hands its matches over in batches every
// few milliseconds; the window thread appends them in slices short enough that
// the window keeps answering input, in listing order, stepping the counter once
// per entry.
class DriveSearch {
public:
    struct Widgets {
        TDriveBox& drives;
        QLabel& searchingSign;
        // The two commands that start a search; off while one runs.
        QPushButton& searchButton;
        QAction& searchAction;
        TDigits& counter;
    };

    // Errors of the search, which ends after the event that started it, go to errors;
    // window is the parent of the boxes it shows.
    DriveSearch(const Widgets& widgets, PlaylistModel& playlist, tb::Dialogs& dialogs,
                tb::ErrorReport& errors, QWidget& window);
    // The window is going away: the worker stops before anything it posts to goes.
    ~DriveSearch();

    // Asks, then searches the chosen drive from its root.
    void askAndSearchDrive();
    // Starts the search of the tree below directoryPath on a worker thread and returns
    // at once. The matches reach the playlist as the worker hands them over; the search
    // ends, hiding the sign and enabling the commands again, once the last of them has
    // been appended.
    void start(const QString& directoryPath);
    // Ends a running search at once and drops what it found but has not appended.
    void stop();
    bool running() const;
    // Whether a search takes every music kind rather than MP3 alone; from the next start.
    void setAllMusic(bool allMusic) { allMusic_ = allMusic; }
    bool allMusic() const { return allMusic_; }

private:
    class Search;

    Widgets widgets_;
    tb::Dialogs& dialogs_;
    QWidget& window_;
    std::unique_ptr<Search> search_;
    bool allMusic_ = false;
};
