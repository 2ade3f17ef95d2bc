// The main window's handlers that rename and delete music files.
#include "app/Unit1.h"

#include "filetools/DirectoryListBox.h"
#include "filetools/FileListBox.h"
#include "filetools/RenameRules.h"
#include "platform/CheckedFile.h"
#include "platform/Dialogs.h"
#include "platform/FileNames.h"
#include "platform/NameRules.h"
#include "platform/Windows1250.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>

namespace {

std::string_view viewOf(const QByteArray& bytes) {
    return std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

} // namespace

void TForm1::connectTagsAndFileTools() {
    onEvent(PrejmenBt, &QPushButton::clicked, &TForm1::PrejmenBtClick);
    onEvent(SmazatBt, &QPushButton::clicked, &TForm1::SmazatBtClick);
    onEvent(Prejmen, &QAction::triggered, &TForm1::PrejmenClick);
    onEvent(Smazat1, &QAction::triggered, &TForm1::Smazat1Click);
}

void TForm1::PrejmenBtClick() {
    PrejmenClick();
}

void TForm1::SmazatBtClick() {
    Smazat1Click();
}

void TForm1::PrejmenClick() {
    // The list keeps its entries, and so their numbers, until it is re-read at the end.
    const int count = FileListBox1->count();
    // Names proposed for a card or stick of FAT, exFAT or NTFS keep to what Windows
    // accepts, so that they can be copied on to such a disk too.
    std::optional<tb::rename::NameRule> rule;
    for (int index = 0; index < count; ++index) {
        if (!FileListBox1->isSelected(index))
            continue;
        const QByteArray nameBytes = FileListBox1->fileNameBytes(index);
        const QString name = FileListBox1->fileName(index);
        QString proposal = tb::fromUtf8OrWindows1250(nameBytes);
        if (AppSettings::isOn(settings_.cistTag)) {
            clearTagFields();
            // A failed read ends the whole action, before any further question.
            DrawTAG(nameBytes);
            setCurrentFilePath(nameBytes);
            showCurrentFilePath();
            if (!rule)
                rule = tb::hasWindowsNameRules(pathInShownDirectory({}))
                           ? tb::rename::NameRule::Windows
                           : tb::rename::NameRule::Posix;
            // Made of the texts as the panel shows them, whichever tag they came from.
            const std::string proposed =
                tb::rename::proposal(index, viewOf(ArtistTag->text().toUtf8()),
                                     viewOf(TitleTag->text().toUtf8()), *rule, tb::characterBytes);
            proposal = QString::fromUtf8(proposed.data(), qsizetype(proposed.size()));
        }
        const std::optional<QString> newName = services_.dialogs.inputText(
            this, QStringLiteral("Změna jména souboru"),
            QStringLiteral("Zadejte nové jméno souboru \"%1\"").arg(name), proposal,
            tb::kMaxNameBytes);
        if (!newName)
            continue;
        // A name no file system holds is not tried: the file stays as it is.
        if (const qsizetype bytes = tb::nameBytes(*newName); bytes > tb::kMaxNameBytes) {
            services_.dialogs.error(
                this, QStringLiteral("Soubor \"%1\" nebyl přejmenován: nové jméno má %2 bajtů, "
                                     "smí mít nejvýše %3.")
                          .arg(name, QString::number(bytes), QString::number(tb::kMaxNameBytes)));
            continue;
        }
        // A name with a path moves the file, also to another file system, never
        // over an existing file (nor the file itself); the file is reached by its
        // own bytes.
        const QByteArray target = QDir::isAbsolutePath(*newName)
                                      ? QFile::encodeName(*newName)
                                      : pathInShownDirectory(QFile::encodeName(*newName));
        if (!tb::moveFile(pathInShownDirectory(nameBytes), target))
            services_.dialogs.error(
                this, QStringLiteral("Při přejmenovávání \"%1\" na \"%2\" nastala chyba!")
                          .arg(name, *newName));
    }
    FileListBox1->Update();
}

void TForm1::Smazat1Click() {
    if (services_.dialogs.confirm(
            this,
            QStringLiteral("Opravdu chcete z disku fyzicky odstranit všechny označené soubory?")) ==
        tb::Dialogs::Answer::Yes) {
        const int count = FileListBox1->count();
        for (int index = 0; index < count; ++index) {
            if (!FileListBox1->isSelected(index))
                continue;
            const QString name = FileListBox1->fileName(index);
            const auto answer = services_.dialogs.message(
                this, tb::Dialogs::Kind::Warning, QString(),
                QStringLiteral("Opravdu chcete z disku fyzicky odstranit soubor ") + name +
                    QStringLiteral(" ?"),
                tb::Dialogs::Buttons::YesNo);
            if (answer != tb::Dialogs::Answer::Yes)
                continue;
            if (!tb::deleteFile(pathInShownDirectory(FileListBox1->fileNameBytes(index))))
                services_.dialogs.error(
                    this, QStringLiteral("Při mazání \"%1\" nastala chyba!").arg(name));
        }
    }
    FileListBox1->Update();
}
