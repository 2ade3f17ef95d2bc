#pragma once

#include <QByteArray>
#include <QtGlobal>

class FileBrowser;
class PlaylistCurating;
class PlaylistModel;
class QLineEdit;
class QMimeData;
class QObject;
class QPushButton;
class QRadioButton;
class QWidget;
class TDigits;
class TDirectoryListBox;
class TDriveBox;
class TFileListBox;
class TPlaylistView;

namespace tb {
class Dialogs;
enum class PrefixMode;
} // namespace tb

// Adds the browser's files to the playlist, each with the chosen prefix, and removes
// entries again; the counter follows.
class PlaylistEditing {
public:
    // The most entries that the add actions accept.
    static constexpr quint16 ItemLimit = 65535;

    struct Widgets {
        TPlaylistView& list;
        TDigits& counter;
        TFileListBox& files;
        TDirectoryListBox& directories;
        TDriveBox& drives;
        QPushButton& removeButton;
        // The prefix: five choices and the text of the fourth.
        QRadioButton& fullPath;
        QRadioButton& pathWithoutDrive;
        QRadioButton& lastDirectory;
        QRadioButton& text;
        QRadioButton& nothing;
        QLineEdit& prefixText;
    };

    // window is the parent of the boxes it shows; curating removes the selected entries.
    PlaylistEditing(const Widgets& widgets, PlaylistModel& playlist, FileBrowser& browser,
                    PlaylistCurating& curating, tb::Dialogs& dialogs, QWidget& window)
        : widgets_(widgets), playlist_(playlist), browser_(browser), curating_(curating),
          dialogs_(dialogs), window_(window) {}

    tb::PrefixMode prefixMode() const;
    // name: the file's name as bytes, as the file list holds it.
    void add(const QByteArray& name);
    // The same for a file of another folder (its bytes, and the root of its drive); false
    // when the item limit refused it.
    bool add(const QByteArray& name, const QByteArray& directory, const QByteArray& driveRoot);
    // Files and folders dropped from another program: each matching file, in the order
    // dropped, and the matching files of each folder, in the file list's order.
    void addDropped(const QMimeData* data);
    void addSelected();
    void addFocused();
    void fileListKeyPressed(int key);
    // A drag from the file list ended on target.
    void fileListDragEnded(QObject* target);
    bool acceptsDragFrom(QObject* source) const;
    void removeSelected();
    void removeAll();
    void playlistKeyDown(int key);
    // Selects every file of the list and makes the first the current one.
    void selectAllFiles();
    // The prefix text can be edited while its choice is made.
    void prefixChoiceChanged();

private:
    // The root of the drive that holds the directory (bytes of a directory text).
    QByteArray driveOfDirectory(const QByteArray& directory) const;

    Widgets widgets_;
    PlaylistModel& playlist_;
    FileBrowser& browser_;
    PlaylistCurating& curating_;
    tb::Dialogs& dialogs_;
    QWidget& window_;
};
