#include "filetools/FileBrowser.h"

#include "filetools/DirectoryListBox.h"
#include "filetools/DriveBox.h"
#include "filetools/FileListBox.h"
#include "filetools/FilterComboBox.h"
#include "filetools/MusicFormats.h"
#include "filetools/Switches.h"
#include "filetools/TagPanel.h"
#include "platform/Dialogs.h"
#include "platform/ErrorReport.h"
#include "platform/FileNames.h"
#include "platform/Volumes.h"
#include "platform/Windows1250.h"

#include <QCoreApplication>
#include <QDir>
#include <QLabel>

FileBrowser::FileBrowser(const Widgets& widgets, TagPanel& tags, const tb::Switches& switches,
                         tb::Dialogs& dialogs, tb::Volumes& volumes, tb::ErrorReport& errors,
                         QWidget& window)
    : widgets_(widgets), tags_(tags), switches_(switches), dialogs_(dialogs), volumes_(volumes),
      errors_(errors), window_(window) {
    TDriveBox& drives = widgets_.drives;
    TDirectoryListBox& directories = widgets_.directories;
    TFileListBox& files = widgets_.files;
    drives.setVolumes(volumes_.mounted());
    directories.setDriveRoots(drives.driveRoots());
    widgets_.filter.setFilter(
        QStringLiteral("MP3 soubory|*.MP3|Hudební soubory|") +
        QLatin1String(tb::kMusicMasks.data(), static_cast<qsizetype>(tb::kMusicMasks.size())) +
        QStringLiteral("|MPEG Video |*.mpg; *.mpeg; *.mpv; *.mp1; *.mp2|"
                       "Všechny soubory|*.*"));
    files.setMask(widgets_.filter.Mask());
    files.setDirectoryBytes(directories.DirectoryBytes());
    {
        const QSignalBlocker quiet(&drives);
        drives.setDrive(directories.Drive());
    }

    connect(&directories, &TDirectoryListBox::directoryChanged, this, [this] {
        tb::guarded(errors_, [&] {
            widgets_.files.setDirectoryBytes(widgets_.directories.DirectoryBytes());
            // Moving into a directory on another volume moves the drive box along.
            const QSignalBlocker quiet(&widgets_.drives);
            widgets_.drives.setDrive(widgets_.directories.Drive());
        });
    });
    connect(&widgets_.filter, &TFilterComboBox::maskChanged, this, [this](const QString& mask) {
        tb::guarded(errors_, [&] { widgets_.files.setMask(mask); });
    });
}

bool FileBrowser::driveReady(const QString& driveRoot) {
    // Let waiting events run before and after the query, which may take a while
    // on a slow or sleeping medium.
    QCoreApplication::processEvents();
    const bool ready = !driveRoot.isEmpty() && volumes_.isReady(driveRoot);
    QCoreApplication::processEvents();
    return ready;
}

void FileBrowser::driveChanged() {
    if (!driveReady(widgets_.drives.Drive())) {
        // Going back re-runs this handler for the previous drive, which is ready
        // and leaves the directory list where it is.
        widgets_.drives.setDrive(widgets_.directories.Drive());
        dialogs_.error(&window_, QStringLiteral("V mechanice není médium / disk nepřístupný!"));
    } else {
        widgets_.directories.setDrive(widgets_.drives.Drive());
    }
    widgets_.files.setFocus();
}

void FileBrowser::fileClicked() {
    const int focused = widgets_.files.ItemIndex();
    if (focused < 0)
        return;
    makeCurrent(widgets_.files.fileNameBytes(focused), TagRead::First);
}

void FileBrowser::makeCurrent(const QByteArray& name, TagRead tagRead) {
    if (tagRead == TagRead::AfterSetting)
        setCurrentFile(name);
    if (tagRead == TagRead::First || switches_.readsTags())
        tags_.clear();
    // A read that fails ends the caller's action here.
    if (switches_.readsTags())
        tags_.showTagOf(pathInShownDirectory(name));
    if (tagRead == TagRead::First)
        setCurrentFile(name);
    widgets_.fileName.setText(currentFilePathShown_);
}

void FileBrowser::setCurrentFile(const QByteArray& name) {
    currentFilePath_ = pathInShownDirectory(name);
    // The directory as the directory list shows it, the name as the file list does.
    currentFilePathShown_ = tb::withVisibleControls(
        widgets_.directories.Directory() + QDir::separator() + tb::fromUtf8OrWindows1250(name));
}

QByteArray FileBrowser::pathInShownDirectory(const QByteArray& name) const {
    return widgets_.directories.DirectoryBytes() + QDir::separator().toLatin1() + name;
}
