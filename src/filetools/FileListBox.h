#pragma once

#include "platform/FileNames.h"

#include <QByteArray>
#include <QList>
#include <QListView>
#include <QStringList>
#include <atomic>
#include <memory>
#include <thread>
#include <vector>

namespace tb {
struct FolderNames;
class FolderNamesModel;
} // namespace tb

// The file list: the files of one directory that match a mask string, without
// directories and hidden or system files, sorted by name in Czech order (numbers by
// value), several selectable at once, and a drag source for the playlist.
class TFileListBox : public QListView {
    Q_OBJECT

public:
    // The drag data's type; only the playlist accepts it.
    static const QString DragMimeType;

    explicit TFileListBox(QWidget* parent = nullptr);
    ~TFileListBox() override;

    // The directory, decoded for the display, and as the platform's bytes.
    QString Directory() const { return tb::shownPath(directory_); }
    QByteArray DirectoryBytes() const { return directory_; }
    void setDirectory(const QString& directoryText);         // re-reads
    void setDirectoryBytes(const QByteArray& directoryText); // re-reads
    QString Mask() const { return mask_; }
    void setMask(const QString& maskString); // re-reads
    // Reads the entries of the directory again; the selection is lost. A folder that
    // holds many names is read on another thread, the list empty meanwhile; listed()
    // tells when its names are in.
    void Update();
    bool isListing() const { return !pending_.expired(); }
    // The names the list would show for that folder (its bytes) and mask string, in order.
    static QList<QByteArray> listedNames(const QByteArray& directory, const QString& maskString);
    // Whether a file of that name passes the mask, as a listed file does.
    bool matchesMask(const QByteArray& name) const;

    int count() const;
    // The name as shown, and the name's own bytes, by which the file is reached.
    QString fileName(int row) const;
    QByteArray fileNameBytes(int row) const;
    bool isSelected(int row) const;
    // The names of the selected files, in list order: as shown, and as bytes.
    QStringList selectedNames() const;
    QList<QByteArray> selectedNameBytes() const;
    // The entry with the focus rectangle: the one clicked last. -1 when none.
    int ItemIndex() const;
    void selectAll() override;

signals:
    // The folder's names are in the list, read at once or on another thread.
    void listed();
    // The user changed the selection, by mouse or keyboard.
    void userClicked();
    void userDoubleClicked();
    void keyPressed(int key);
    // A drag from the list ended; target is the widget that took the drop, or null.
    void dragEnded(QObject* target);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void startDrag(Qt::DropActions supportedActions) override;
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override;

private:
    // The selected rows, in list order.
    QList<int> selectedRows() const;
    void showListing(tb::FolderNames names);
    void joinListers(bool all);

    struct Lister {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> cancelled;
        std::shared_ptr<std::atomic<bool>> done;
    };
    std::vector<Lister> listers_;
    std::weak_ptr<std::atomic<bool>> pending_; // the listing the list waits for

    tb::FolderNamesModel* model_;
    QByteArray directory_;
    QString mask_;
    bool selectionTouched_ = false; // set while a key press is handled
};
