#include "playlist/PlaylistEditing.h"

#include "controls/Digits.h"
#include "filetools/DirectoryListBox.h"
#include "filetools/DirectoryText.h"
#include "filetools/DriveBox.h"
#include "filetools/FileBrowser.h"
#include "filetools/FileListBox.h"
#include "filetools/MusicFormats.h"
#include "platform/Dialogs.h"
#include "platform/DroppedFiles.h"
#include "playlist/PlaylistCurating.h"
#include "playlist/PlaylistModel.h"
#include "playlist/PlaylistView.h"
#include "playlist/Prefix.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {
std::string_view viewOf(const QByteArray& bytes) {
    return {bytes.constData(), static_cast<std::size_t>(bytes.size())};
}
} // namespace

tb::PrefixMode PlaylistEditing::prefixMode() const {
    if (widgets_.fullPath.isChecked())
        return tb::PrefixMode::FullPath;
    if (widgets_.pathWithoutDrive.isChecked())
        return tb::PrefixMode::PathWithoutDrive;
    if (widgets_.text.isChecked())
        return tb::PrefixMode::Text;
    if (widgets_.nothing.isChecked())
        return tb::PrefixMode::Nothing;
    return tb::PrefixMode::LastDirectory;
}

void PlaylistEditing::add(const QByteArray& name) {
    add(name, widgets_.directories.DirectoryBytes(),
        QFile::encodeName(widgets_.directories.Drive()));
}

bool PlaylistEditing::add(const QByteArray& name, const QByteArray& directory,
                          const QByteArray& driveRoot) {
    if (playlist_.count() >= ItemLimit) {
        dialogs_.error(&window_, QStringLiteral("Další položky přidávat nelze!"));
        return false;
    }
    // Paths and names go in as the file system spells them; the user's own text
    // in the local 8-bit encoding.
    const QByteArray text = widgets_.prefixText.text().toLocal8Bit();
    const tb::PrefixContext context{viewOf(directory), viewOf(driveRoot),
                                    QDir::separator().toLatin1(), viewOf(text)};
    // The entry knows its file whatever its text says, for the saves that read tags.
    QByteArray file = directory;
    if (!file.endsWith(QDir::separator().toLatin1()))
        file += QDir::separator().toLatin1();
    file += name;
    playlist_.append(tb::playlistEntry(prefixMode(), context, viewOf(name)), viewOf(file));
    widgets_.counter.Increment();
    return true;
}

QByteArray PlaylistEditing::driveOfDirectory(const QByteArray& directory) const {
    std::vector<std::string> roots;
    for (const QString& root : widgets_.drives.driveRoots())
        roots.push_back(QFile::encodeName(root).toStdString());
    const std::string root =
        tb::driveRootOf(viewOf(directory), roots, QDir::separator().toLatin1());
    if (!root.empty())
        return QByteArray::fromStdString(root);
        // Off every known drive: the root of the path itself.
#ifdef Q_OS_WIN
    return directory.left(3);
#else
    return QByteArrayLiteral("/");
#endif
}

void PlaylistEditing::addDropped(const QMimeData* data) {
    const PlaylistModel::Step step(playlist_, QStringLiteral("Přidat"));
    // One refusal ends the drop: a dropped folder would bring a box for each further file.
    for (const tb::DroppedItem& item : tb::droppedItems(data)) {
        const QByteArray driveRoot = driveOfDirectory(item.directory);
        if (item.kind == tb::DroppedItem::Kind::Folder) {
            for (const QByteArray& name :
                 TFileListBox::listedNames(item.directory, widgets_.files.Mask())) {
                if (!add(name, item.directory, driveRoot))
                    return;
            }
        } else {
            // A music file dropped by itself is meant to go in, whatever the filter shows.
            const bool wanted =
                widgets_.files.matchesMask(item.name) || tb::hasMusicExtension(viewOf(item.name));
            if (wanted && !add(item.name, item.directory, driveRoot))
                return;
        }
    }
}

void PlaylistEditing::addSelected() {
    const PlaylistModel::Step step(playlist_, QStringLiteral("Přidat"));
    for (const QByteArray& name : widgets_.files.selectedNameBytes())
        add(name);
    widgets_.files.setFocus();
}

void PlaylistEditing::addFocused() {
    const int focused = widgets_.files.ItemIndex();
    if (focused >= 0)
        add(widgets_.files.fileNameBytes(focused));
}

void PlaylistEditing::fileListKeyPressed(int key) {
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        addFocused();
}

bool PlaylistEditing::acceptsDragFrom(QObject* source) const {
    return source == &widgets_.files || source == widgets_.files.viewport();
}

void PlaylistEditing::fileListDragEnded(QObject* target) {
    if (target != &widgets_.list && target != widgets_.list.viewport())
        return;
    const PlaylistModel::Step step(playlist_, QStringLiteral("Přidat"));
    for (const QByteArray& name : widgets_.files.selectedNameBytes())
        add(name);
}

void PlaylistEditing::removeSelected() {
    curating_.removeSelected(); // on a worker for a long playlist; the counter follows
    widgets_.list.setFocus();
}

void PlaylistEditing::removeAll() {
    if (curating_.busy())
        return;
    if (dialogs_.confirm(&window_, QStringLiteral("Opravdu chcete odebrat všechny položky ?")) !=
        tb::Dialogs::Answer::Yes)
        return;
    playlist_.clear();
    widgets_.counter.setValue(0);
}

void PlaylistEditing::playlistKeyDown(int key) {
    if (key == Qt::Key_Delete && widgets_.removeButton.isEnabled())
        removeSelected();
    widgets_.list.setFocus();
}

void PlaylistEditing::selectAllFiles() {
    if (widgets_.files.count() == 0)
        return;
    widgets_.files.selectAll();
    browser_.makeCurrent(widgets_.files.fileNameBytes(0), FileBrowser::TagRead::AfterSetting);
}

void PlaylistEditing::prefixChoiceChanged() {
    widgets_.prefixText.setEnabled(widgets_.text.isChecked());
}
