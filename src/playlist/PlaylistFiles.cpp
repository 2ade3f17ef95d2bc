// The main window's handlers that save the playlist to a file, append a file's
// lines to it, and hand the selected music files to the player.
#include "app/Unit1.h"

#include "controls/Digits.h"
#include "filetools/DirectoryListBox.h"
#include "filetools/FileListBox.h"
#include "platform/Dialogs.h"
#include "platform/IoError.h"
#include "platform/Launcher.h"
#include "platform/Paths.h"
#include "playlist/M3u.h"
#include "playlist/PlaylistModel.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QSaveFile>
#include <QTimer>
#include <algorithm>
#include <cerrno>

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

// The system's error number behind a failed file operation. Qt keeps only its own
// error kinds, so errno is read right after the call, cleared before it.
int failureErrno(const QFileDevice& file) {
    if (errno != 0)
        return errno;
    switch (file.error()) {
    case QFileDevice::ResourceError:
        return ENOSPC;
    case QFileDevice::PermissionsError:
        return EACCES;
    default:
        return EIO;
    }
}

void writeAll(QFileDevice& file, const std::string& bytes) {
    errno = 0;
    if (file.write(bytes.data(), static_cast<qint64>(bytes.size())) !=
        static_cast<qint64>(bytes.size()))
        throw tb::IoError::fromErrno(failureErrno(file));
}

void openForWriting(QFileDevice& file) {
    errno = 0;
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw tb::IoError::fromErrno(failureErrno(file));
}

// Writes the lines in pieces of about a megabyte, so that a large playlist needs
// no second copy of itself in memory.
template <typename EntryAt> void writeM3u(QFileDevice& file, std::size_t count, EntryAt&& entryAt) {
    constexpr std::size_t kPiece = std::size_t{1} << 20;
    std::string piece;
    piece.reserve(kPiece + 4096);
    for (std::size_t i = 0; i < count; ++i) {
        tb::appendM3uLine(piece, entryAt(i));
        if (piece.size() >= kPiece) {
            writeAll(file, piece);
            piece.clear();
        }
    }
    if (!piece.empty())
        writeAll(file, piece);
}

// The whole file, or as much of it as could be read before an error, which then
// comes back in readErrno.
QByteArray readWholeFile(const QString& path, int& readErrno) {
    QFile file(path);
    errno = 0;
    if (!file.open(QIODevice::ReadOnly)) {
        // Qt refuses directories itself, without a system error.
        const QFileInfo info(path);
        throw tb::IoError::fromErrno(!info.exists() ? ENOENT
                                     : info.isDir() ? EISDIR
                                                    : failureErrno(file));
    }
    // The size is a hint only: special files report none, and files change. Reading
    // into a buffer of that size, and probing beyond it with a small one, keeps a
    // large file from being copied when the buffer would grow.
    QByteArray bytes(std::max<qint64>(file.size(), 0), Qt::Uninitialized);
    qsizetype filled = 0;
    char probe[64 * 1024];
    readErrno = 0;
    for (;;) {
        const bool full = filled == bytes.size();
        errno = 0;
        const qint64 got = full ? file.read(probe, sizeof probe)
                                : file.read(bytes.data() + filled, bytes.size() - filled);
        if (got < 0) {
            readErrno = failureErrno(file);
            break;
        }
        if (got == 0)
            break;
        if (full)
            bytes.append(probe, got);
        filled += got;
    }
    bytes.truncate(filled);
    return bytes;
}

std::string_view bytesOf(const QByteArray& bytes) {
    return {bytes.constData(), static_cast<std::size_t>(bytes.size())};
}

// Appends the lines of a whole file in batches, into room made for all of them at
// once, so that a large file needs no list of its lines besides the playlist.
void appendM3u(PlaylistModel& playlist, std::string_view bytes) {
    const std::string_view beforeCtrlZ = bytes.substr(0, bytes.find('\x1A'));
    playlist.reserve(
        static_cast<std::size_t>(std::count(beforeCtrlZ.begin(), beforeCtrlZ.end(), '\r')) + 1,
        beforeCtrlZ.size());
    constexpr std::size_t kBatch = 64 * 1024;
    std::vector<std::string_view> batch;
    batch.reserve(kBatch);
    tb::M3uReader reader(bytes);
    do {
        batch.push_back(reader.readLine());
        if (batch.size() == kBatch) {
            playlist.appendAll(batch);
            batch.clear();
        }
    } while (!reader.atEnd());
    playlist.appendAll(batch);
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
        QSaveFile file(path);
        openForWriting(file);
        writeM3u(file, playlist_->count(), [this](std::size_t i) { return playlist_->entry(i); });
        errno = 0;
        if (!file.commit())
            throw tb::IoError::fromErrno(failureErrno(file));
    }

    if (AppSettings::isOn(settings_.delAfter)) {
        playlist_->clear();
        Digits1->setValue(0);
    }
    if (AppSettings::isOn(settings_.askRun) &&
        services_.dialogs.confirm(this,
                                  QStringLiteral("Chcete spustit právě uložený playlist ?")) ==
            tb::Dialogs::Answer::Yes)
        services_.launcher.startCommandLine(settings_.rgPlay + QStringLiteral(" \"") +
                                            QDir::toNativeSeparators(path) + QLatin1Char('"'));
}

void TForm1::BitBtn3Click() {
    tb::Dialogs::FileRequest request;
    request.title = QStringLiteral("Otevřit PlayList");
    request.filter = QStringLiteral("*.m3u");
    request.proposedName = QStringLiteral("*.m3u");
    const std::optional<QString> chosen = services_.dialogs.openFileName(this, request);
    if (!chosen)
        return;

    int readErrno = 0;
    const QByteArray bytes = readWholeFile(*chosen, readErrno);
    // A read that broke off keeps the lines that were read whole.
    if (readErrno == 0)
        appendM3u(*playlist_, bytesOf(bytes));
    else
        playlist_->appendAll(tb::m3uCompleteLines(bytesOf(bytes)));
    Digits1->setValue(static_cast<int>(playlist_->count()));
    if (readErrno != 0)
        throw tb::IoError::fromErrno(readErrno);
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
    QFile file(path);
    try {
        openForWriting(file);
        writeM3u(file, static_cast<std::size_t>(names.size()), [&](std::size_t i) {
            return pathInShownDirectory(names.at(static_cast<qsizetype>(i))).toStdString();
        });
        errno = 0;
        if (!file.flush())
            throw tb::IoError::fromErrno(failureErrno(file));
        file.close();
    } catch (...) {
        file.remove();
        throw;
    }

    if (names.isEmpty()) {
        file.remove();
        return;
    }
    services_.launcher.startCommandLine(settings_.rgPlay + QStringLiteral(" \"") + path +
                                        QLatin1Char('"'));
    state.removeLater(path);
}
