#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

class QLabel;
class TDirectoryListBox;
class TDriveBox;
class TFileListBox;
class TFilterComboBox;
class TagPanel;

namespace tb {
class Dialogs;
class ErrorReport;
class Switches;
class Volumes;
} // namespace tb

// The main window's file browser: drive box, directory list, filter box and file list,
// and the current file, which the browser's click makes and the other jobs read.
class FileBrowser : public QObject {
public:
    struct Widgets {
        TDriveBox& drives;
        TDirectoryListBox& directories;
        TFilterComboBox& filter;
        TFileListBox& files;
        QLabel& fileName; // shows the current file's path
    };

    // window is the parent of the boxes it shows; errors of the lists' own updates go
    // to errors.
    FileBrowser(const Widgets& widgets, TagPanel& tags, const tb::Switches& switches,
                tb::Dialogs& dialogs, tb::Volumes& volumes, tb::ErrorReport& errors,
                QWidget& window);

    // A drive of the drive box chosen: moves there, or back where a medium is missing.
    void driveChanged();
    // Whether the drive's medium can be read; waiting events run meanwhile.
    bool driveReady(const QString& driveRoot);
    // The file list clicked: its focused file becomes the current one.
    void fileClicked();

    // The path's bytes, by which the current file is reached; empty while there is none.
    const QByteArray& currentFilePath() const { return currentFilePath_; }
    // Whether a file's tag is read before it becomes current, so that a tag that cannot
    // be read leaves the current file as it was (the click, the rename), or after.
    enum class TagRead { First, AfterSetting };
    // Makes the named file of the shown directory the current one and shows its path in
    // the file-name field; where tags are read, the panel is emptied and the file's tag
    // shown. Reading first empties the panel also where tags are not read: it is no
    // longer the current file's.
    void makeCurrent(const QByteArray& name, TagRead tagRead);
    // The shown directory, a separator and the name, as bytes.
    QByteArray pathInShownDirectory(const QByteArray& name) const;

private:
    void setCurrentFile(const QByteArray& name);

    Widgets widgets_;
    TagPanel& tags_;
    const tb::Switches& switches_;
    tb::Dialogs& dialogs_;
    tb::Volumes& volumes_;
    tb::ErrorReport& errors_;
    QWidget& window_;
    QByteArray currentFilePath_;
    QString currentFilePathShown_;
};
