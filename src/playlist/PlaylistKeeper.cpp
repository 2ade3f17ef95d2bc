#include "playlist/PlaylistKeeper.h"

#include "platform/Dialogs.h"
#include "platform/IoError.h"
#include "platform/Sqlite.h"
#include "playlist/PlaylistModel.h"
#include "playlist/store/KeptPlaylist.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <new>
#include <utility>

namespace {
constexpr int kRetryMs = 5000;

QString problemText(const std::exception& error) {
    // SQLite says "database or disk is full" in English; the user reads the program's words.
    if (const auto* sqlite = dynamic_cast<const tb::SqliteError*>(&error);
        sqlite && (sqlite->code() & 0xFF) == 13 /* SQLITE_FULL */)
        return QString::fromStdString(tb::ioErrorMessage(ENOSPC));
    if (dynamic_cast<const std::bad_alloc*>(&error))
        return QStringLiteral("nestačí paměť");
    return QString::fromStdString(error.what());
}
} // namespace

PlaylistKeeper::PlaylistKeeper(PlaylistModel& playlist, tb::Dialogs& dialogs, QWidget& window,
                               const QString& folder)
    : playlist_(playlist), dialogs_(dialogs), window_(window) {
    worker_.setMaxThreadCount(1);
    // A worker that waits for the next change keeps its thread: no start-up per write.
    worker_.setExpiryTimeout(-1);
    retry_.setSingleShot(true);
    retry_.setInterval(kRetryMs);
    connect(&retry_, &QTimer::timeout, this, &PlaylistKeeper::writeNow);
    if (folder.isEmpty())
        return;
    storePath_ = QDir(folder).filePath(QStringLiteral("playlist.db"));
    kept_ = std::make_shared<tb::KeptPlaylist>(QFile::encodeName(storePath_).toStdString());
    lock_ = std::make_unique<QLockFile>(QDir(folder).filePath(QStringLiteral("playlist.lock")));
    connect(&playlist_, &PlaylistModel::historyChanged, this, &PlaylistKeeper::changed);
}

PlaylistKeeper::~PlaylistKeeper() {
    retry_.stop();
    if (keeping_ && on_ && !restoring_ && playlist_.generation() != keptGeneration_) {
        auto snapshot = std::make_shared<tb::EntryStore>(playlist_.snapshot());
        worker_.start([kept = kept_, snapshot] {
            try {
                kept->keep(*snapshot);
            } catch (...) {
                // Nothing is left to tell it to: the earlier state stays kept.
            }
        });
    }
    worker_.waitForDone();
}

void PlaylistKeeper::start(bool on) {
    on_ = on;
    if (!kept_)
        return;
    QDir().mkpath(QFileInfo(storePath_).absolutePath());
    lock_->setStaleLockTime(0); // a lock is stale only when its process has gone
    if (!lock_->tryLock(0)) {
        tell(QStringLiteral("Trackbinder už běží v jiném okně. Playlist tohoto okna se "
                            "po ukončení neuchová."));
        return;
    }
    keeping_ = true;
    if (!on_) {
        tb::KeptPlaylist::removeFiles(kept_->path());
        return;
    }
    restoring_ = true;
    keptGeneration_ = playlist_.generation();
    worker_.start([this, kept = kept_] {
        auto entries = std::make_shared<tb::EntryStore>();
        QString problem;
        bool keepable = true;
        try {
            *entries = kept->open();
        } catch (const std::exception& error) {
            *entries = tb::EntryStore();
            try {
                const std::string aside = tb::KeptPlaylist::setAside(kept->path());
                problem = QStringLiteral("Uchovaný playlist nelze přečíst (%1). Soubor byl "
                                         "odložen jako „%2“ a program začíná s prázdným "
                                         "playlistem.")
                              .arg(problemText(error), QFile::decodeName(aside.c_str()));
            } catch (const std::exception& asideError) {
                keepable = false;
                problem = QStringLiteral("Uchovaný playlist „%1“ nelze přečíst (%2) ani "
                                         "odložit (%3). Playlist se tentokrát neuchová.")
                              .arg(storePath_, problemText(error), problemText(asideError));
            }
        }
        QMetaObject::invokeMethod(
            this,
            [this, entries, problem, keepable] {
                restoring_ = false;
                keeping_ = keepable;
                playlist_.restore(std::move(*entries));
                keptGeneration_ = playlist_.generation();
                if (!problem.isEmpty())
                    tell(problem);
                emit restored();
            },
            Qt::QueuedConnection);
    });
}

void PlaylistKeeper::setOn(bool on) {
    if (on == on_)
        return;
    on_ = on;
    if (!keeping_ || restoring_)
        return;
    if (on) {
        writeNow();
        return;
    }
    retry_.stop();
    worker_.start([kept = kept_] {
        kept->close();
        tb::KeptPlaylist::removeFiles(kept->path());
    });
}

void PlaylistKeeper::windowShown() {
    windowShown_ = true;
    if (!untold_.isEmpty())
        tell(std::exchange(untold_, QString()));
}

bool PlaylistKeeper::settled() const {
    return !restoring_ && !writing_ &&
           (!keeping_ || !on_ || playlist_.generation() == keptGeneration_);
}

void PlaylistKeeper::changed() {
    if (!keeping_ || !on_ || restoring_ || writing_ || playlist_.generation() == keptGeneration_)
        return;
    writeNow();
}

void PlaylistKeeper::writeNow() {
    if (!keeping_ || !on_ || restoring_ || writing_)
        return;
    writing_ = true;
    const std::uint64_t generation = playlist_.generation();
    auto snapshot = std::make_shared<tb::EntryStore>(playlist_.snapshot());
    worker_.start([this, kept = kept_, snapshot, generation] {
        bool ok = true;
        QString problem;
        try {
            kept->keep(*snapshot);
        } catch (const std::exception& error) {
            ok = false;
            problem = problemText(error);
        }
        QMetaObject::invokeMethod(
            this,
            [this, ok, problem, generation] {
                if (ok)
                    keptGeneration_ = generation;
                written(ok, problem);
            },
            Qt::QueuedConnection);
    });
}

void PlaylistKeeper::written(bool ok, const QString& problem) {
    writing_ = false;
    if (!ok) {
        if (!failureSaid_)
            tell(QStringLiteral("Playlist nelze uchovat: %1. Uchovávání se obnoví samo, "
                                "jakmile to půjde.")
                     .arg(problem));
        failureSaid_ = true;
        retry_.start();
        return;
    }
    failureSaid_ = false;
    changed();
}

void PlaylistKeeper::tell(const QString& text) {
    if (!windowShown_) {
        untold_ = untold_.isEmpty() ? text : untold_ + QLatin1Char('\n') + text;
        return;
    }
    dialogs_.message(&window_, tb::Dialogs::Kind::Warning, QStringLiteral("Trackbinder"), text,
                     tb::Dialogs::Buttons::Ok);
}
