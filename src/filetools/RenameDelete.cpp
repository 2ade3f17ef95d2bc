#include "filetools/RenameDelete.h"

#include "filetools/FileBrowser.h"
#include "filetools/FileListBox.h"
#include "filetools/RenameRules.h"
#include "filetools/Switches.h"
#include "filetools/TagPanel.h"
#include "platform/CheckedFile.h"
#include "platform/Dialogs.h"
#include "platform/FileNames.h"
#include "platform/NameRules.h"
#include "platform/Windows1250.h"

#include <QDir>
#include <QFile>

namespace {

constexpr int kMaxNameBytes = static_cast<int>(tb::rename::MaxNameBytes);

std::string_view viewOf(const QByteArray& bytes) {
    return std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

} // namespace

void RenameDelete::renameSelected() {
    // The list keeps its entries, and so their numbers, until it is re-read at the end.
    const int count = files_.count();
    // Names proposed for a card or stick of FAT, exFAT or NTFS keep to what Windows
    // accepts, so that they can be copied on to such a disk too.
    std::optional<tb::rename::NameRule> rule;
    for (int index = 0; index < count; ++index) {
        if (!files_.isSelected(index))
            continue;
        const QByteArray nameBytes = files_.fileNameBytes(index);
        const QString name = files_.fileName(index);
        QString proposal = tb::fromUtf8OrWindows1250(nameBytes);
        if (switches_.readsTags()) {
            // A failed read ends the whole action, before any further question.
            browser_.makeCurrent(nameBytes, FileBrowser::TagRead::First);
            if (!rule)
                rule = tb::hasWindowsNameRules(browser_.pathInShownDirectory({}))
                           ? tb::rename::NameRule::Windows
                           : tb::rename::NameRule::Posix;
            // Made of the texts as the panel shows them, whichever tag they came from.
            // The file keeps its kind: a FLAC stays .flac.
            const std::string proposed = tb::rename::proposal(
                index, viewOf(tags_.artist().toUtf8()), viewOf(tags_.title().toUtf8()), *rule,
                tb::characterBytes, tb::rename::extensionOf(viewOf(nameBytes)));
            proposal = QString::fromUtf8(proposed.data(), qsizetype(proposed.size()));
        }
        const std::optional<QString> newName = dialogs_.inputText(
            &window_, QStringLiteral("Změna jména souboru"),
            QStringLiteral("Zadejte nové jméno souboru \"%1\"").arg(name), proposal, kMaxNameBytes);
        if (!newName)
            continue;
        // A name no file system holds is not tried: the file stays as it is.
        if (const qsizetype bytes = tb::nameBytes(*newName); bytes > kMaxNameBytes) {
            dialogs_.error(
                &window_, QStringLiteral("Soubor \"%1\" nebyl přejmenován: nové jméno má %2 bajtů, "
                                         "smí mít nejvýše %3.")
                              .arg(name, QString::number(bytes), QString::number(kMaxNameBytes)));
            continue;
        }
        // A name with a path moves the file, also to another file system, never
        // over an existing file (nor the file itself); the file is reached by its
        // own bytes.
        const QByteArray target = QDir::isAbsolutePath(*newName)
                                      ? QFile::encodeName(*newName)
                                      : browser_.pathInShownDirectory(QFile::encodeName(*newName));
        if (!tb::moveFile(browser_.pathInShownDirectory(nameBytes), target))
            dialogs_.error(&window_,
                           QStringLiteral("Při přejmenovávání \"%1\" na \"%2\" nastala chyba!")
                               .arg(name, *newName));
    }
    files_.Update();
}

void RenameDelete::deleteSelected() {
    if (dialogs_.confirm(
            &window_,
            QStringLiteral("Opravdu chcete z disku fyzicky odstranit všechny označené soubory?")) ==
        tb::Dialogs::Answer::Yes) {
        const int count = files_.count();
        for (int index = 0; index < count; ++index) {
            if (!files_.isSelected(index))
                continue;
            const QString name = files_.fileName(index);
            const auto answer = dialogs_.message(
                &window_, tb::Dialogs::Kind::Warning, QString(),
                QStringLiteral("Opravdu chcete z disku fyzicky odstranit soubor ") + name +
                    QStringLiteral(" ?"),
                tb::Dialogs::Buttons::YesNo);
            if (answer != tb::Dialogs::Answer::Yes)
                continue;
            if (!tb::deleteFile(browser_.pathInShownDirectory(files_.fileNameBytes(index))))
                dialogs_.error(&window_,
                               QStringLiteral("Při mazání \"%1\" nastala chyba!").arg(name));
        }
    }
    files_.Update();
}
