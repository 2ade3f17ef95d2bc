#include "playlist/PlaylistFiles.h"

#include "controls/Digits.h"
#include "filetools/DirectoryListBox.h"
#include "filetools/FileBrowser.h"
#include "filetools/FileListBox.h"
#include "filetools/Switches.h"
#include "platform/CheckedFile.h"
#include "platform/Dialogs.h"
#include "platform/ErrorReport.h"
#include "platform/IoError.h"
#include "platform/Launcher.h"
#include "platform/Paths.h"
#include "platform/RegularFile.h"
#include "playlist/PlaylistExport.h"
#include "playlist/PlaylistModel.h"
#include "playlist/formats/M3u.h"
#include "playlist/formats/PlaylistFormat.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QProgressDialog>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QTimer>
#include <algorithm>
#include <array>
#include <condition_variable>
#include <limits>
#include <mutex>
#include <stdexcept>
#include <string_view>
#include <thread>
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

// Reads a file into the room that the store made for it, and takes each piece apart
// into lines, on a thread of its own, while the window's thread moves the lines of
// the pieces done together and counts them in: the copy from the system's cache, the
// first touch of fresh memory and the search for line ends fall to the other core.
class SplitAhead {
public:
    // What the reader found in one piece: its lines and the start of the line that
    // goes on after it, views into the room (or the splitter's own copy of the file's
    // first bytes).
    struct Piece {
        std::vector<std::string_view> lines;
        std::string_view open;
        bool endsFile = false; // a Ctrl-Z ended the file in it
    };

    SplitAhead(tb::RegularFile& file, tb::M3uSplitter& splitter, char* room, std::size_t size)
        : thread_([this, &file, &splitter, room, size] { run(file, splitter, room, size); }) {}
    ~SplitAhead() {
        {
            const std::lock_guard lock(mutex_);
            stop_ = true;
        }
        moved_.notify_all();
        thread_.join();
    }
    SplitAhead(const SplitAhead&) = delete;
    SplitAhead& operator=(const SplitAhead&) = delete;

    // The next piece taken apart, waiting for it; null once the reading has ended.
    const Piece* next() {
        std::unique_lock lock(mutex_);
        moved_.wait(lock, [&] { return filled_ > given_ || ended_; });
        return filled_ > given_ ? &pieces_[given_ % kPieces] : nullptr;
    }
    // Gives back the piece that next() gave, for the reader to fill again.
    void done() {
        {
            const std::lock_guard lock(mutex_);
            ++given_;
        }
        moved_.notify_all();
    }
    // Once next() has given null: the system's number for a read that failed, or 0,
    // and the bytes read in all.
    int error() {
        const std::lock_guard lock(mutex_);
        return error_;
    }
    std::size_t bytesRead() {
        const std::lock_guard lock(mutex_);
        return read_;
    }

private:
    // Pieces taken apart ahead of the window's thread: enough to keep both busy.
    static constexpr std::size_t kPieces = 4;

    void run(tb::RegularFile& file, tb::M3uSplitter& splitter, char* room, std::size_t size) {
        std::size_t read = 0;
        int error = 0;
        while (read < size) {
            std::size_t slot = 0;
            {
                std::unique_lock lock(mutex_);
                moved_.wait(lock, [&] { return stop_ || filled_ - given_ < kPieces; });
                if (stop_)
                    break;
                slot = filled_ % kPieces;
            }
            const qint64 got =
                file.read(room + read, std::min(static_cast<qint64>(size - read), kReadPiece));
            if (got <= 0) { // the end, or an error
                error = got < 0 ? file.error() : 0;
                break;
            }
            Piece& piece = pieces_[slot]; // the window's thread is done with it
            piece.lines.clear();
            piece.open = splitter.split({room + read, static_cast<std::size_t>(got)}, piece.lines);
            piece.endsFile = splitter.ctrlZRead();
            read += static_cast<std::size_t>(got);
            {
                const std::lock_guard lock(mutex_);
                ++filled_;
            }
            moved_.notify_all();
            if (piece.endsFile)
                break;
        }
        {
            const std::lock_guard lock(mutex_);
            ended_ = true;
            error_ = error;
            read_ = read;
        }
        moved_.notify_all();
    }

    std::array<Piece, kPieces> pieces_;
    std::mutex mutex_;
    std::condition_variable moved_;
    std::size_t filled_ = 0; // pieces the reader has filled, in all
    std::size_t given_ = 0;  // pieces the window's thread has given back, in all
    bool ended_ = false;
    bool stop_ = false;
    int error_ = 0;
    std::size_t read_ = 0;
    std::thread thread_; // last: it starts once the rest is made
};

// Appends the lines of a playlist file, read once straight into the playlist's store,
// where each piece's lines are then moved together. Room for the file is made first,
// so that its lines, even a line of many pieces, land in one place; a file larger
// than a piece is read ahead on a thread. Reading stops at the first Ctrl-Z. A read
// that fails keeps the lines read whole and then throws.
void appendM3u(PlaylistModel& playlist, const QString& path) {
    tb::RegularFile file(path);
    const qint64 size = QFileInfo(path).size();
    const auto reserved = static_cast<std::size_t>(std::clamp(size, qint64{0}, kMostReservedBytes));
    if (reserved > 0)
        playlist.reserve(0, reserved);
    tb::M3uSplitter splitter;
    std::vector<std::string_view> lines;
    int readError = 0;
    qint64 readSoFar = 0;
    bool more = true;
    try {
        if (reserved > static_cast<std::size_t>(kReadPiece)) {
            SplitAhead ahead(file, splitter, playlist.readRoom(reserved), reserved);
            while (const SplitAhead::Piece* piece = ahead.next()) {
                playlist.appendAllRead(piece->lines, piece->open);
                more = !piece->endsFile;
                ahead.done();
                if (!more)
                    break;
            }
            if (more) {
                readError = ahead.error();
                readSoFar = static_cast<qint64>(ahead.bytesRead());
                // Only a file that filled its room may go on: it grew, or is larger than
                // any room.
                more = readError == 0 && ahead.bytesRead() == reserved;
            }
        }
        while (more) {
            // No piece asks for room beyond the file's size, so that the last takes no
            // new block; one byte more then finds the end, or that the file grew.
            const qint64 left = size - readSoFar;
            const qint64 wanted = left > 0    ? std::min(left, kReadPiece)
                                  : left == 0 ? 1
                                              : kReadPiece;
            char* const room = playlist.readRoom(static_cast<std::size_t>(wanted));
            const qint64 got = file.read(room, wanted);
            if (got <= 0) { // the end, or an error
                readError = got < 0 ? file.error() : 0;
                break;
            }
            readSoFar += got;
            lines.clear();
            const std::string_view open =
                splitter.split({room, static_cast<std::size_t>(got)}, lines);
            playlist.appendAllRead(lines, open);
            more = !splitter.ctrlZRead();
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

// The open dialog's types: every kind the program reads first, then each alone.
QString openFilters() {
    return QStringLiteral("Playlisty (*.m3u *.m3u8 *.pls *.xspf);;") +
           tb::playlistSaveFilters().join(QStringLiteral(";;"));
}

} // namespace

PlaylistFiles::PlaylistFiles(const Widgets& widgets, PlaylistModel& playlist,
                             const FileBrowser& browser, const tb::Switches& switches,
                             tb::Dialogs& dialogs, tb::ErrorReport& errors, tb::Launcher& launcher,
                             QRandomGenerator& random, QWidget& window)
    : QObject(&window), widgets_(widgets), playlist_(playlist), browser_(browser),
      switches_(switches), dialogs_(dialogs), errors_(errors), launcher_(launcher), random_(random),
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
    request.filter = tb::playlistSaveFilters().join(QStringLiteral(";;"));
    request.selectedFilter = saveFilter_;
    request.directory = directory + QDir::separator() + QStringLiteral("..");
    request.proposedName = saveDialogName_;
    // No default suffix: a name without one takes the chosen type's below.
    QString filter;
    const std::optional<QString> chosen = dialogs_.saveFileName(&window_, request, &filter);
    if (!chosen)
        return;
    saveFilter_ = filter;
    const tb::SaveTarget target = tb::saveTarget(*chosen, filter);
    saveDialogName_ = target.path;

    // A name of another kind is written as the chosen type, after a word of where.
    if (!tb::formatOfName(target.path))
        dialogs_.message(&window_, tb::Dialogs::Kind::Plain, QString(), target.path,
                         tb::Dialogs::Buttons::Ok);

    // An M3U's entries are written as they stand at once; another path looks their
    // files up first.
    if (target.format != tb::PlaylistFormat::M3u || pathMode_ != tb::SavedPathMode::AsEntered) {
        startExport(target.path, target.format);
        return;
    }
    // The new file takes the old one's place only once it is whole, so a failed
    // save leaves the earlier playlist file as it was.
    {
        tb::CheckedFile file(target.path, tb::CheckedFile::Mode::Replace);
        writeM3u(file, playlist_.count(), [this](std::size_t i) { return playlist_.entry(i); });
        file.commit();
    }
    afterSave(target.path);
}

void PlaylistFiles::startExport(const QString& path, tb::PlaylistFormat format) {
    if (export_)
        return; // one save at a time; the progress box keeps the window's commands away
    const int total =
        static_cast<int>(std::min<std::size_t>(playlist_.count(), std::numeric_limits<int>::max()));
    export_ = new tb::PlaylistExport(playlist_.snapshot(), path, format, tb::readTrackFields, this);
    export_->setPathMode(pathMode_);
    auto* progress = new QProgressDialog(QStringLiteral("Ukládám playlist…"),
                                         QStringLiteral("Zrušit"), 0, total, &window_);
    progress->setObjectName(QStringLiteral("saveProgress"));
    progress->setWindowTitle(QStringLiteral("Uložit PlayList"));
    progress->setWindowModality(Qt::WindowModal);
    progress->setMinimumDuration(300); // a quick save shows no box
    progress->setAutoReset(false);
    progress->setAutoClose(false);
    progress->setValue(0);
    tb::PlaylistExport* const job = export_;
    connect(progress, &QProgressDialog::canceled, job, &tb::PlaylistExport::cancel);
    connect(job, &tb::PlaylistExport::progress, progress,
            [progress](int done, int) { progress->setValue(done); });
    // Whichever way the save ends, the box and the job go, and the window is free again.
    const auto end = [this, job, progress] {
        export_ = nullptr;
        progress->disconnect(job);
        progress->deleteLater();
        job->deleteLater();
    };
    connect(job, &tb::PlaylistExport::finished, this, [this, end, path] {
        end();
        tb::guarded(errors_, [&] { afterSave(path); });
    });
    connect(job, &tb::PlaylistExport::failed, this, [this, end](const QString& message) {
        end();
        errors_.showError(std::runtime_error(message.toStdString()));
    });
    connect(job, &tb::PlaylistExport::cancelled, this, end);
    job->start();
}

void PlaylistFiles::afterSave(const QString& path) {
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
    request.filter = openFilters();
    const std::optional<QString> chosen = dialogs_.openFileName(&window_, request);
    if (!chosen)
        return;

    const tb::PlaylistFormat format = tb::formatToRead(*chosen);
    const PlaylistModel::Step step(playlist_, QStringLiteral("Otevřít playlist"));
    try {
        if (format == tb::PlaylistFormat::M3u)
            appendM3u(playlist_, *chosen); // streamed: the lines read stay if a read fails
        else // read whole first: a file that is no playlist appends nothing
            playlist_.appendItems(tb::readPlaylistFile(*chosen, format));
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
