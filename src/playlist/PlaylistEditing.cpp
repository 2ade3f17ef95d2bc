// The main window's handlers that add entries to the playlist and remove them.
#include "app/Unit1.h"

#include "controls/Digits.h"
#include "filetools/DirectoryListBox.h"
#include "filetools/DirectoryText.h"
#include "filetools/DriveBox.h"
#include "filetools/FileListBox.h"
#include "platform/Dialogs.h"
#include "platform/DroppedFiles.h"
#include "playlist/PlaylistModel.h"
#include "playlist/PlaylistView.h"
#include "playlist/Prefix.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {
std::string_view bytesOf(const QByteArray& bytes) {
    return {bytes.constData(), static_cast<std::size_t>(bytes.size())};
}
} // namespace

tb::PrefixMode TForm1::prefixMode() const {
    if (RadioButton1->isChecked())
        return tb::PrefixMode::FullPath;
    if (RadioButton2->isChecked())
        return tb::PrefixMode::PathWithoutDrive;
    if (RadioButton4->isChecked())
        return tb::PrefixMode::Text;
    if (RadioButton5->isChecked())
        return tb::PrefixMode::Nothing;
    return tb::PrefixMode::LastDirectory;
}

void TForm1::Pridat(const QByteArray& name) {
    Pridat(name, DirectoryListBox1->DirectoryBytes(),
           QFile::encodeName(DirectoryListBox1->Drive()));
}

bool TForm1::Pridat(const QByteArray& name, const QByteArray& directory,
                    const QByteArray& driveRoot) {
    if (playlist_->count() >= ItemLimit) {
        services_.dialogs.error(this, QStringLiteral("Další položky přidávat nelze!"));
        return false;
    }
    // Paths and names go in as the file system spells them; the user's own text
    // in the local 8-bit encoding.
    const QByteArray text = Edit1->text().toLocal8Bit();
    const tb::PrefixContext context{bytesOf(directory), bytesOf(driveRoot),
                                    QDir::separator().toLatin1(), bytesOf(text)};
    playlist_->append(tb::playlistEntry(prefixMode(), context, bytesOf(name)));
    Digits1->Increment();
    return true;
}

QByteArray TForm1::driveOfDirectory(const QByteArray& directory) const {
    std::vector<std::string> roots;
    for (const QString& root : Disk->driveRoots())
        roots.push_back(QFile::encodeName(root).toStdString());
    const std::string root =
        tb::driveRootOf(bytesOf(directory), roots, QDir::separator().toLatin1());
    if (!root.empty())
        return QByteArray::fromStdString(root);
        // Off every known drive: the root of the path itself.
#ifdef Q_OS_WIN
    return directory.left(3);
#else
    return QByteArrayLiteral("/");
#endif
}

void TForm1::ListBox1DropFiles(const QMimeData* data) {
    // One refusal ends the drop: a dropped folder would bring a box for each further file.
    for (const tb::DroppedItem& item : tb::droppedItems(data)) {
        const QByteArray driveRoot = driveOfDirectory(item.directory);
        if (item.kind == tb::DroppedItem::Kind::Folder) {
            for (const QByteArray& name :
                 TFileListBox::listedNames(item.directory, FileListBox1->Mask())) {
                if (!Pridat(name, item.directory, driveRoot))
                    return;
            }
        } else if (FileListBox1->matchesMask(item.name) &&
                   !Pridat(item.name, item.directory, driveRoot)) {
            return;
        }
    }
}

void TForm1::Button1Click() {
    for (const QByteArray& name : FileListBox1->selectedNameBytes())
        Pridat(name);
    FileListBox1->setFocus();
}

void TForm1::FileListBox1DblClick() {
    const int focused = FileListBox1->ItemIndex();
    if (focused >= 0)
        Pridat(FileListBox1->fileNameBytes(focused));
}

void TForm1::FileListBox1KeyPress(int key) {
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        FileListBox1DblClick();
}

bool TForm1::ListBox1DragOver(QObject* source) const {
    return source == FileListBox1 || source == FileListBox1->viewport();
}

void TForm1::FileListBox1EndDrag(QObject* target) {
    if (target != ListBox1 && target != ListBox1->viewport())
        return;
    for (const QByteArray& name : FileListBox1->selectedNameBytes())
        Pridat(name);
}

void TForm1::Button3Click() {
    const std::vector<bool>& selected = ListBox1->selectionFlags();
    for (bool isSelected : selected) {
        if (isSelected)
            Digits1->Decrement();
    }
    playlist_->removeFlagged(selected);
    Digits1->setValue(static_cast<int>(playlist_->count()));
    ListBox1->setFocus();
}

void TForm1::Button2Click() {
    if (services_.dialogs.confirm(this,
                                  QStringLiteral("Opravdu chcete odebrat všechny položky ?")) !=
        tb::Dialogs::Answer::Yes)
        return;
    playlist_->clear();
    Digits1->setValue(0);
}

void TForm1::ListBox1KeyDown(int key) {
    if (key == Qt::Key_Delete && Button3->isEnabled())
        Button3Click();
    ListBox1->setFocus();
}

void TForm1::Button7Click() {
    if (FileListBox1->count() == 0)
        return;
    FileListBox1->selectAll();
    const QByteArray first = FileListBox1->fileNameBytes(0);
    setCurrentFilePath(first);
    if (AppSettings::isOn(settings_.cistTag)) {
        clearTagFields();
        DrawTAG(first);
    }
    showCurrentFilePath();
}

void TForm1::RadioButton4Click() {
    Edit1->setEnabled(RadioButton4->isChecked());
}

void TForm1::POP2Popup() {
    Odebrat1->setEnabled(Button3->isEnabled());
    OdebratAll->setEnabled(Button2->isEnabled());
    AllMP3->setEnabled(Button8->isEnabled());
    SaveList->setEnabled(Button4->isEnabled());
    OpenList->setEnabled(BitBtn3->isEnabled());
}
