// The main window's handlers that save the playlist to a file, append a file's
// lines to it, and hand the selected music files to the player.
#include "app/Unit1.h"

#include "controls/Digits.h"
#include "filetools/DirectoryListBox.h"
#include "filetools/FileListBox.h"
#include "platform/CheckedFile.h"
#include "platform/Dialogs.h"
#include "platform/IoError.h"
#include "platform/Launcher.h"
#include "platform/Paths.h"
#include "platform/RegularFile.h"
#include "playlist/M3u.h"
#include "playlist/PlaylistModel.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <algorithm>
#include <string_view>
#include <vector>

namespace {

// What the playlist-file actions keep between events.
class PlaylistFilesState : public QObject {
public:
    // Long enough for a player to have read its playlist.
    static constexpr int kPlayFileLifetimeMs = 60'000;

    explicit PlaylistFilesState(QObject* parent) : QObject(parent) {
        setObjectName(QStringLiteral("playlistFilesState"));
    }

    // Whatever happens to the timers, no play file outlives the window.
    ~PlaylistFilesState() override {
        for (const QString& path : std::as_const(pendingPlayFiles_))
            QFile::remove(path);
    }

    // The name the save dialog proposes: the last chosen path, or the playlist name
    // of the shown directory that the last save proposed.
    QString saveDialogName;

    bool isPending(const QString& path) const { return pendingPlayFiles_.contains(path); }

    // A player that gave up needs its play file no longer: removed at once, timer and all.
    void removeNow(const QString& path) {
        QFile::remove(path);
        pendingPlayFiles_.removeOne(path);
        delete findChild<QTimer*>(path, Qt::FindDirectChildrenOnly);
    }

    // Keeps a play file for the player to read, and removes it a while later. The
    // timer is named after the file.
    void removeLater(const QString& path) {
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

private:
    QStringList pendingPlayFiles_;
};

PlaylistFilesState& stateOf(QObject* state) {
    return *static_cast<PlaylistFilesState*>(state);
}

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

void TForm1::connectPlaylistFiles() {
    playlistFilesState_ = new PlaylistFilesState(this);
    onEvent(Button4, &QPushButton::clicked, &TForm1::Button4Click);
    onEvent(BitBtn3, &QPushButton::clicked, &TForm1::BitBtn3Click);
    onEvent(BitBtn1, &QPushButton::clicked, &TForm1::BitBtn1Click);
    onEvent(SaveList, &QAction::triggered, &TForm1::Button4Click);
    onEvent(OpenList, &QAction::triggered, &TForm1::BitBtn3Click);
    onEvent(Prehraj1, &QAction::triggered, &TForm1::BitBtn1Click);
}

void TForm1::Button4Click() {
    PlaylistFilesState& state = stateOf(playlistFilesState_);
    const QString directory = DirectoryListBox1->Directory();
    if (RadioButton3->isChecked())
        state.saveDialogName =
            directory.mid(directory.lastIndexOf(QDir::separator()) + 1) + QStringLiteral(".m3u");

    tb::Dialogs::FileRequest request;
    request.title = QStringLiteral("Uložit PlayList");
    request.filter = QStringLiteral("*.m3u (*.m3u)");
    request.directory = directory + QDir::separator() + QStringLiteral("..");
    request.proposedName = state.saveDialogName;
    request.defaultSuffix = QStringLiteral("m3u");
    const std::optional<QString> chosen = services_.dialogs.saveFileName(this, request);
    if (!chosen)
        return;
    const QString path = *chosen;
    state.saveDialogName = path;

    if (path.right(4).toUpper() != QStringLiteral(".M3U"))
        services_.dialogs.message(this, tb::Dialogs::Kind::Plain, QString(), path,
                                  tb::Dialogs::Buttons::Ok);

    // The new file takes the old one's place only once it is whole, so a failed
    // save leaves the earlier playlist file as it was.
    {
        tb::CheckedFile file(path, tb::CheckedFile::Mode::Replace);
        writeM3u(file, playlist_->count(), [this](std::size_t i) { return playlist_->entry(i); });
        file.commit();
    }

    if (AppSettings::isOn(settings_.delAfter)) {
        playlist_->clear();
        Digits1->setValue(0);
    }
    if (AppSettings::isOn(settings_.askRun) &&
        services_.dialogs.confirm(this,
                                  QStringLiteral("Chcete spustit právě uložený playlist ?")) ==
            tb::Dialogs::Answer::Yes)
        startPlayer(QDir::toNativeSeparators(path));
}

void TForm1::BitBtn3Click() {
    tb::Dialogs::FileRequest request;
    request.title = QStringLiteral("Otevřit PlayList");
    request.filter = QStringLiteral("*.m3u");
    request.proposedName = QStringLiteral("*.m3u");
    const std::optional<QString> chosen = services_.dialogs.openFileName(this, request);
    if (!chosen)
        return;

    try {
        appendM3u(*playlist_, *chosen);
    } catch (...) {
        Digits1->setValue(static_cast<int>(playlist_->count()));
        throw;
    }
    Digits1->setValue(static_cast<int>(playlist_->count()));
}

void TForm1::BitBtn1Click() {
    PlaylistFilesState& state = stateOf(playlistFilesState_);
    const QString folder =
        (cacheFolder_.isEmpty() ? tb::cacheFolder() : cacheFolder_) + QDir::separator();
    // A name still waiting for its player is not taken again.
    QString path;
    do
        path = folder + QString::number(random_.bounded(999'999)) + QStringLiteral(".m3u");
    while (state.isPending(path));

    const QList<QByteArray> names = FileListBox1->selectedNameBytes();
    {
        tb::CheckedFile file(path, tb::CheckedFile::Mode::Replace);
        writeM3u(file, static_cast<std::size_t>(names.size()), [&](std::size_t i) {
            return pathInShownDirectory(names.at(static_cast<qsizetype>(i))).toStdString();
        });
        file.commit();
    }
    if (names.isEmpty()) {
        QFile::remove(path);
        return;
    }
    // The play file waits for the player, unless the player gives up soon after its start.
    state.removeLater(path);
    QPointer<QObject> stateAlive(playlistFilesState_);
    if (!startPlayer(path, [stateAlive, path] {
            if (stateAlive)
                stateOf(stateAlive).removeNow(path);
        }))
        state.removeNow(path);
}

bool TForm1::startPlayer(const QString& playlistPath, std::function<void()> afterFailure) {
    const QString player = settings_.rgPlay;
    const auto warn = [this, player] {
        services_.dialogs.message(this, tb::Dialogs::Kind::Warning, QString(),
                                  QStringLiteral("Přehrávač \"%1\" nelze spustit.").arg(player),
                                  tb::Dialogs::Buttons::Ok);
    };
    // A player that ends with an error soon after its start did not play either: the
    // warning comes late then, and what waited for the player goes at once.
    QPointer<TForm1> alive(this);
    const bool started =
        services_.launcher.startCommand(player, {playlistPath}, [alive, warn, afterFailure] {
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
