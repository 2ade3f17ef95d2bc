#include "playlist/PlaylistFiles.h"

#include "controls/Digits.h"
#include "filetools/DirectoryListBox.h"
#include "filetools/FileBrowser.h"
#include "filetools/FileListBox.h"
#include "filetools/Switches.h"
#include "platform/CheckedFile.h"
#include "platform/Dialogs.h"
#include "platform/IoError.h"
#include "platform/Launcher.h"
#include "platform/Paths.h"
#include "platform/RegularFile.h"
#include "playlist/M3u.h"
#include "playlist/PlaylistModel.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QTimer>
#include <algorithm>
#include <string_view>
#include <vector>

namespace {

// Writes the lines in pieces of about a megabyte, so that a large playlist needs
// no second copy of itself in memory.
template <typename EntryAt>
void writeM3u(tb::CheckedFile& file, std::size_t count, EntryAt&& entryAt) {
    constexpr std::size_t kPiece = std::size_t{1} << 20;
    std::string piece;
    piece.reserve(kPiece + 4096);
    for (std::size_t i = 0; i < count; ++i) {
        tb::appendM3uLine(piece, entryAt(i));
        if (piece.size() >= kPiece) {
            file.write(piece);
            piece.clear();
        }
    }
    file.write(piece);
}

constexpr qint64 kReadPiece = 256 * 1024;

// Room made ahead for a file's lines; what lies beyond, as in a sparse file whose
// Ctrl-Z comes early, goes into further blocks as it is read.
constexpr qint64 kMostReservedBytes = qint64{256} << 20;

// Appends the lines of a playlist file, read once in pieces. Room for the file is
// made first, so that its lines, even a line of many pieces, land in one place
// in the store; the store takes each piece's lines as they come, and reading
// stops at the first Ctrl-Z. A read that fails keeps the lines read whole and
// then throws.
void appendM3u(PlaylistModel& playlist, const QString& path) {
    tb::RegularFile file(path);
    std::vector<char> buffer(kReadPiece);
    int readError = 0;
    const qint64 size = std::min(QFileInfo(path).size(), kMostReservedBytes);
    if (size > 0)
        playlist.reserve(0, static_cast<std::size_t>(size));
    tb::M3uSplitter splitter;
    std::vector<std::string_view> lines;
    try {
        for (;;) {
            const qint64 got = file.read(buffer.data(), kReadPiece);
            if (got <= 0) { // the end, or an error
                readError = got < 0 ? file.error() : 0;
                break;
            }
            const std::string_view piece(buffer.data(), static_cast<std::size_t>(got));
            lines.clear();
            const std::string_view open = splitter.split(piece, lines);
            playlist.appendAll(lines);
            playlist.appendPart(open);
            if (splitter.ctrlZRead())
                break;
        }
    } catch (...) {
        playlist.discardPart();
        throw;
    }
    if (readError != 0) {
        playlist.discardPart();
        throw tb::RegularFile::ioError(readError);
    }
    if (splitter.openLineCounts()) {
        playlist.appendPart(splitter.heldBack());
        playlist.append({});
    } else
        playlist.discardPart();
}

} // namespace

PlaylistFiles::PlaylistFiles(const Widgets& widgets, PlaylistModel& playlist,
                             const FileBrowser& browser, const tb::Switches& switches,
                             tb::Dialogs& dialogs, tb::Launcher& launcher, QRandomGenerator& random,
                             QWidget& window)
    : QObject(&window), widgets_(widgets), playlist_(playlist), browser_(browser),
      switches_(switches), dialogs_(dialogs), launcher_(launcher), random_(random),
      window_(window) {
    setObjectName(QStringLiteral("playlistFiles"));
}

PlaylistFiles::~PlaylistFiles() {
    for (const QString& path : std::as_const(pendingPlayFiles_))
        QFile::remove(path);
}

void PlaylistFiles::removeNow(const QString& path) {
    QFile::remove(path);
    pendingPlayFiles_.removeOne(path);
    delete findChild<QTimer*>(path, Qt::FindDirectChildrenOnly);
}

void PlaylistFiles::removeLater(const QString& path) {
    pendingPlayFiles_.append(path);
    auto* timer = new QTimer(this);
    timer->setObjectName(path);
    timer->setSingleShot(true);
    timer->setInterval(kPlayFileLifetimeMs);
    connect(timer, &QTimer::timeout, this, [this, timer, path] {
        QFile::remove(path);
        pendingPlayFiles_.removeOne(path);
        timer->deleteLater();
    });
    timer->start();
}

void PlaylistFiles::save() {
    const QString directory = widgets_.directories.Directory();
    if (widgets_.lastDirectory.isChecked())
        saveDialogName_ =
            directory.mid(directory.lastIndexOf(QDir::separator()) + 1) + QStringLiteral(".m3u");

    tb::Dialogs::FileRequest request;
    request.title = QStringLiteral("Uložit PlayList");
    request.filter = QStringLiteral("*.m3u (*.m3u)");
    request.directory = directory + QDir::separator() + QStringLiteral("..");
    request.proposedName = saveDialogName_;
    request.defaultSuffix = QStringLiteral("m3u");
    const std::optional<QString> chosen = dialogs_.saveFileName(&window_, request);
    if (!chosen)
        return;
    const QString path = *chosen;
    saveDialogName_ = path;

    if (path.right(4).toUpper() != QStringLiteral(".M3U"))
        dialogs_.message(&window_, tb::Dialogs::Kind::Plain, QString(), path,
                         tb::Dialogs::Buttons::Ok);

    // The new file takes the old one's place only once it is whole, so a failed
    // save leaves the earlier playlist file as it was.
    {
        tb::CheckedFile file(path, tb::CheckedFile::Mode::Replace);
        writeM3u(file, playlist_.count(), [this](std::size_t i) { return playlist_.entry(i); });
        file.commit();
    }

    if (switches_.clearsAfterSave()) {
        playlist_.clear();
        widgets_.counter.setValue(0);
    }
    if (switches_.asksToPlay() &&
        dialogs_.confirm(&window_, QStringLiteral("Chcete spustit právě uložený playlist ?")) ==
            tb::Dialogs::Answer::Yes)
        startPlayer(QDir::toNativeSeparators(path));
}

void PlaylistFiles::open() {
    tb::Dialogs::FileRequest request;
    request.title = QStringLiteral("Otevřit PlayList");
    request.filter = QStringLiteral("*.m3u");
    request.proposedName = QStringLiteral("*.m3u");
    const std::optional<QString> chosen = dialogs_.openFileName(&window_, request);
    if (!chosen)
        return;

    try {
        appendM3u(playlist_, *chosen);
    } catch (...) {
        widgets_.counter.setValue(static_cast<int>(playlist_.count()));
        throw;
    }
    widgets_.counter.setValue(static_cast<int>(playlist_.count()));
}

void PlaylistFiles::playSelected() {
    const QString folder =
        (cacheFolder_.isEmpty() ? tb::cacheFolder() : cacheFolder_) + QDir::separator();
    // A name still waiting for its player is not taken again.
    QString path;
    do
        path = folder + QString::number(random_.bounded(999'999)) + QStringLiteral(".m3u");
    while (pendingPlayFiles_.contains(path));

    const QList<QByteArray> names = widgets_.files.selectedNameBytes();
    {
        tb::CheckedFile file(path, tb::CheckedFile::Mode::Replace);
        writeM3u(file, static_cast<std::size_t>(names.size()), [&](std::size_t i) {
            return browser_.pathInShownDirectory(names.at(static_cast<qsizetype>(i))).toStdString();
        });
        file.commit();
    }
    if (names.isEmpty()) {
        QFile::remove(path);
        return;
    }
    // The play file waits for the player, unless the player gives up soon after its start.
    removeLater(path);
    QPointer<PlaylistFiles> alive(this);
    if (!startPlayer(path, [alive, path] {
            if (alive)
                alive->removeNow(path);
        }))
        removeNow(path);
}

bool PlaylistFiles::startPlayer(const QString& playlistPath, std::function<void()> afterFailure) {
    const QString player = switches_.player();
    const auto warn = [this, player] {
        dialogs_.message(&window_, tb::Dialogs::Kind::Warning, QString(),
                         QStringLiteral("Přehrávač \"%1\" nelze spustit.").arg(player),
                         tb::Dialogs::Buttons::Ok);
    };
    // A player that ends with an error soon after its start did not play either: the
    // warning comes late then, and what waited for the player goes at once.
    QPointer<PlaylistFiles> alive(this);
    const bool started =
        launcher_.startCommand(player, {playlistPath}, [alive, warn, afterFailure] {
            if (!alive)
                return;
            if (afterFailure)
                afterFailure();
            warn();
        });
    if (!started)
        warn();
    return started;
}
