// The main window's handlers of the file browser: drive box, directory list,
// filter box and file list.
#include "app/Unit1.h"

#include "filetools/DirectoryListBox.h"
#include "filetools/DriveBox.h"
#include "filetools/FileListBox.h"
#include "filetools/FilterComboBox.h"
#include "platform/Dialogs.h"
#include "platform/Volumes.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>

void TForm1::connectFileBrowser() {
    Disk->setVolumes(services_.volumes.mounted());
    DirectoryListBox1->setDriveRoots(Disk->driveRoots());
    FilterComboBox1->setFilter(QStringLiteral(
        "MP3 soubory|*.MP3|MPEG Video |*.mpg; *.mpeg; *.mpv; *.mp1; *.mp2|Všechny soubory|*.*"));
    FileListBox1->setMask(FilterComboBox1->Mask());
    FileListBox1->setDirectoryBytes(DirectoryListBox1->DirectoryBytes());
    {
        const QSignalBlocker quiet(Disk);
        Disk->setDrive(DirectoryListBox1->Drive());
    }

    connect(DirectoryListBox1, &TDirectoryListBox::directoryChanged, this, [this] {
        guarded([&] {
            FileListBox1->setDirectoryBytes(DirectoryListBox1->DirectoryBytes());
            // Moving into a directory on another volume moves the drive box along.
            const QSignalBlocker quiet(Disk);
            Disk->setDrive(DirectoryListBox1->Drive());
        });
    });
    connect(FilterComboBox1, &TFilterComboBox::maskChanged, this,
            [this](const QString& mask) { guarded([&] { FileListBox1->setMask(mask); }); });
    onEvent(Disk, &TDriveBox::driveChanged, &TForm1::DiskChange);
    onEvent(FileListBox1, &TFileListBox::userClicked, &TForm1::FileListBox1Click);
    onEvent(FileListBox1, &TFileListBox::userDoubleClicked, &TForm1::FileListBox1DblClick);
    connect(FileListBox1, &TFileListBox::keyPressed, this,
            [this](int key) { guarded([&] { FileListBox1KeyPress(key); }); });
    connect(FileListBox1, &TFileListBox::dragEnded, this,
            [this](QObject* target) { guarded([&] { FileListBox1EndDrag(target); }); });
}

bool TForm1::DiskReady(const QString& driveRoot) {
    // Let waiting events run before and after the query, which may take a while
    // on a slow or sleeping medium.
    QCoreApplication::processEvents();
    const bool ready = !driveRoot.isEmpty() && services_.volumes.isReady(driveRoot);
    QCoreApplication::processEvents();
    return ready;
}

void TForm1::DiskChange() {
    if (!DiskReady(Disk->Drive())) {
        // Going back re-runs this handler for the previous drive, which is ready
        // and leaves the directory list where it is.
        Disk->setDrive(DirectoryListBox1->Drive());
        services_.dialogs.error(this,
                                QStringLiteral("V mechanice není médium / disk nepřístupný!"));
    } else {
        DirectoryListBox1->setDrive(Disk->Drive());
    }
    FileListBox1->setFocus();
}

void TForm1::FileListBox1Click() {
    const int focused = FileListBox1->ItemIndex();
    if (focused < 0)
        return;
    clearTagFields();
    const QByteArray name = FileListBox1->fileNameBytes(focused);
    // A failed read leaves the current file as it was.
    if (AppSettings::isOn(settings_.cistTag))
        DrawTAG(name);
    setCurrentFilePath(name);
    showCurrentFilePath();
}

QByteArray TForm1::pathInShownDirectory(const QByteArray& name) const {
    return DirectoryListBox1->DirectoryBytes() + QDir::separator().toLatin1() + name;
}
