#pragma once

#include <QHash>
#include <QListWidget>

// The directory list: the path from the root of the file system down to the
// current directory, then that directory's subdirectories, indented like a tree.
// Opening an entry (double-click or Enter) makes it the current directory.
class TDirectoryListBox : public QListWidget {
    Q_OBJECT

public:
    explicit TDirectoryListBox(QWidget* parent = nullptr);

    // The roots of the known drives, used to tell the drive of a directory.
    void setDriveRoots(const QStringList& roots);

    // The current directory as a directory text, decoded for the display, and as the
    // platform's bytes, by which it is reached.
    QString Directory() const { return directory_; }
    QByteArray DirectoryBytes() const { return directoryBytes_; }
    // Moves to the directory and re-reads the list; emits directoryChanged() when it moved.
    void setDirectory(const QString& path);
    void setDirectoryBytes(const QByteArray& path);
    // The root of the drive that holds the current directory.
    QString Drive() const;
    // Moves to the directory last shown on that drive, or to its root; stays
    // where it is when that is the drive already.
    void setDrive(const QString& root);

signals:
    void directoryChanged(const QString& directory);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    // A folder dropped from another program (a file manager) becomes the current
    // directory; a dropped file takes the list to its folder.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    bool answerDrag(QDropEvent* event);
    void openEntry(QListWidgetItem* item);
    void fill();
    // The root of the drive that holds the directory.
    QString driveOf(const QByteArray& directory) const;

    QString directory_;
    QByteArray directoryBytes_;
    QStringList driveRoots_;
    // Each drive's directory last shown, always one on that drive.
    QHash<QString, QByteArray> lastDirectoryOfDrive_;
};
