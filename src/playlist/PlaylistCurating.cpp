#include "playlist/PlaylistCurating.h"

#include "controls/Digits.h"
#include "filetools/CollatedOrder.h"
#include "platform/Dialogs.h"
#include "platform/ErrorReport.h"
#include "platform/FileSystems.h"
#include "platform/ThreadPriority.h"
#include "playlist/PlaylistExport.h"
#include "playlist/PlaylistModel.h"
#include "playlist/PlaylistView.h"
#include "playlist/store/Reordering.h"

#include <QElapsedTimer>
#include <QProgressDialog>
#include <QRandomGenerator>
#include <QStringDecoder>
#include <QTimer>
#include <algorithm>
#include <exception>
#include <limits>

struct PlaylistCurating::Job {
    QString name;
    QString label;
    Work work;
    std::function<void(Result&)> finish;
    std::size_t weight = 1;
    tb::EntryStore snapshot;
    std::vector<bool> selected;
    std::uint64_t generation = 0;
    Progress progress;
    Result result;
    std::exception_ptr error;
};

namespace {

const QString kMoveName = QStringLiteral("Přesunout");

using Reorder = std::function<std::optional<tb::Rearrangement>(const std::vector<bool>&)>;

bool stopped(const PlaylistCurating::Progress& progress) {
    return progress.cancelled.load(std::memory_order_relaxed);
}

// The path an entry leads to: its file where known, else its own text.
std::string_view pathOf(const tb::EntryStore& entries, std::size_t row) {
    const std::string_view file = entries.file(row);
    return file.empty() ? entries.at(row) : file;
}

std::size_t nameStart(std::string_view path) {
#ifdef Q_OS_WIN
    const std::size_t separator = path.find_last_of("/\\");
#else
    const std::size_t separator = path.rfind('/');
#endif
    return separator == std::string_view::npos ? 0 : separator + 1;
}

// Runs work(begin, end) on the rows in parts, each part on its own thread but the first.
void inParts(std::size_t rows, bool onThreads,
             const std::function<void(std::size_t, std::size_t)>& work) {
    const std::size_t parts =
        onThreads ? std::clamp<std::size_t>(std::thread::hardware_concurrency(), 1, 4) : 1;
    const std::size_t size = (rows + parts - 1) / parts;
    std::vector<std::thread> helpers;
    for (std::size_t part = 1; part < parts; ++part)
        helpers.emplace_back([&, part] {
            tb::lowerThisThreadsPriority();
            work(std::min(rows, part * size), std::min(rows, (part + 1) * size));
        });
    work(0, std::min(rows, size));
    for (std::thread& helper : helpers)
        helper.join();
}

void assign(std::u16string& out, const QString& text) {
    out.assign(reinterpret_cast<const char16_t*>(text.utf16()),
               static_cast<std::size_t>(text.size()));
}

// The text an entry is sorted by, as tb::entryText gives it. ASCII, as most entries are,
// is widened as it stands, without a QString made and copied for each of a million.
void assignEntryText(std::u16string& out, std::string_view entry, QStringDecoder& utf8) {
    constexpr std::size_t kWholeBytes = 4096; // longer ones entryText shortens
    if (entry.size() <= kWholeBytes && std::all_of(entry.begin(), entry.end(), [](char c) {
            return static_cast<unsigned char>(c) < 0x80;
        })) {
        out.assign(entry.begin(), entry.end());
        return;
    }
    assign(out, tb::entryText(entry, utf8));
}

PlaylistCurating::Result removed(const tb::EntryStore& entries, std::vector<bool> flags,
                                 std::size_t count) {
    PlaylistCurating::Result result;
    result.count = count;
    if (count == 0)
        return result;
    result.entries = entries.withoutFlagged(flags);
    return result;
}

} // namespace

PlaylistCurating::PlaylistCurating(const Widgets& widgets, PlaylistModel& playlist,
                                   tb::Dialogs& dialogs, tb::ErrorReport& errors, QWidget& window)
    : widgets_(widgets), playlist_(playlist), dialogs_(dialogs), errors_(errors), window_(window),
      shuffleSeed_(QRandomGenerator::global()->generate64()) {
    tagReader_ = [](const std::string& path, QString& artist, QString& title) {
        const std::optional<tb::TrackFields> fields =
            tb::readTrackFields(QByteArray::fromStdString(path));
        if (!fields)
            return false;
        artist = fields->artist;
        title = fields->title;
        return true;
    };
}

PlaylistCurating::~PlaylistCurating() {
    if (job_)
        job_->progress.cancelled = true;
    if (worker_.joinable())
        worker_.join();
}

void PlaylistCurating::run(const QString& name, const QString& label, Work work,
                           std::function<void(Result&)> finish, std::size_t weight) {
    if (busy())
        return;
    auto job = std::make_shared<Job>();
    job->name = name;
    job->label = label;
    job->work = std::move(work);
    job->finish = std::move(finish);
    job->weight = weight;
    start(std::move(job));
}

void PlaylistCurating::start(std::shared_ptr<Job> job) {
    job->snapshot = playlist_.snapshot();
    job->selected = widgets_.list.selectionFlags();
    job->selected.resize(job->snapshot.size());
    job->generation = playlist_.generation();
    job->progress.done = 0;
    job->progress.total = job->snapshot.size();
    job->error = nullptr;
    const bool wasBusy = busy();
    job_ = job;
    if (!wasBusy)
        emit busyChanged();

    if (!onWorker(job->snapshot.size(), job->weight)) {
        try {
            job->result = job->work(job->snapshot, job->selected, job->progress);
        } catch (...) {
            job->error = std::current_exception();
        }
        jobDone(job);
        return;
    }
    worker_ = std::thread([this, job] {
        tb::lowerThisThreadsPriority();
        try {
            job->result = job->work(job->snapshot, job->selected, job->progress);
        } catch (...) {
            job->error = std::current_exception();
        }
        QMetaObject::invokeMethod(
            this, [this, job] { jobDone(job); }, Qt::QueuedConnection);
    });
    if (!progressTimer_) {
        // The box is made only once the command has taken a while: making it would take
        // longer than most commands do.
        jobClock_.start();
        progressTimer_ = new QTimer(this);
        connect(progressTimer_, &QTimer::timeout, this, [this] { showProgress(); });
        progressTimer_->start(50);
    }
}

void PlaylistCurating::showProgress() {
    if (!job_ || jobClock_.elapsed() < kProgressDelayMs)
        return;
    if (!progressBox_) {
        progressBox_ = new QProgressDialog(job_->label, QStringLiteral("Zrušit"), 0, 0, &window_);
        progressBox_->setObjectName(QStringLiteral("curatingProgress"));
        progressBox_->setWindowTitle(job_->name);
        progressBox_->setWindowModality(Qt::WindowModal);
        progressBox_->setMinimumDuration(0);
        progressBox_->setAutoReset(false);
        progressBox_->setAutoClose(false);
        connect(progressBox_, &QProgressDialog::canceled, this, [this] {
            if (job_)
                job_->progress.cancelled = true;
        });
    }
    const Progress& progress = job_->progress;
    progressBox_->setMaximum(
        static_cast<int>(std::min<std::size_t>(progress.total, std::numeric_limits<int>::max())));
    progressBox_->setValue(static_cast<int>(
        std::min<std::size_t>(progress.done, std::numeric_limits<int>::max() - 1)));
}

void PlaylistCurating::jobDone(const std::shared_ptr<Job>& job) {
    if (worker_.joinable())
        worker_.join();
    if (job != job_)
        return;
    if (job->progress.cancelled) {
        endJob();
        return;
    }
    if (job->error) {
        endJob();
        try {
            std::rethrow_exception(job->error);
        } catch (const std::exception& error) {
            errors_.showError(error);
        }
        return;
    }
    if (playlist_.generation() != job->generation) {
        // What the work saw is no longer the playlist: it runs again on what is.
        start(job);
        return;
    }
    endJob();
    tb::guarded(errors_, [&] { job->finish(job->result); });
}

void PlaylistCurating::endJob() {
    if (progressTimer_) {
        progressTimer_->deleteLater();
        progressTimer_ = nullptr;
    }
    if (progressBox_) {
        progressBox_->disconnect(this);
        progressBox_->deleteLater();
        progressBox_ = nullptr;
    }
    job_.reset();
    emit busyChanged();
}

void PlaylistCurating::apply(const QString& name, Result& result) {
    if (!result.entries)
        return;
    playlist_.replaceEntries(std::move(*result.entries), name);
    if (!result.selected.empty())
        widgets_.list.setSelectionFlags(std::move(result.selected));
    afterChange();
}

void PlaylistCurating::afterChange() {
    widgets_.counter.setValue(static_cast<int>(playlist_.count()));
}

void PlaylistCurating::rearrange(const QString& name, Work work) {
    run(name, QStringLiteral("Měním pořadí…"), std::move(work),
        [this, name](Result& result) { apply(name, result); });
}

namespace {
PlaylistCurating::Work moved(Reorder reorder) {
    return [reorder](const tb::EntryStore& entries, const std::vector<bool>& selected,
                     PlaylistCurating::Progress&) {
        PlaylistCurating::Result result;
        std::optional<tb::Rearrangement> rearranged = reorder(selected);
        if (!rearranged)
            return result;
        tb::EntryStore reordered = entries.copy();
        reordered.reorder(rearranged->rows);
        result.entries = std::move(reordered);
        result.selected = std::move(rearranged->selected);
        return result;
    };
}

PlaylistCurating::Work
reordered(std::function<std::vector<std::uint32_t>(const tb::EntryStore&, const std::vector<bool>&,
                                                   PlaylistCurating::Progress&)>
              order) {
    return [order](const tb::EntryStore& entries, const std::vector<bool>& selected,
                   PlaylistCurating::Progress& progress) {
        PlaylistCurating::Result result;
        const std::vector<std::uint32_t> rows = order(entries, selected, progress);
        if (stopped(progress))
            return result;
        tb::EntryStore changed = entries.copy();
        changed.reorder(rows);
        result.entries = std::move(changed);
        result.selected = selected; // the same places stay selected
        return result;
    };
}
} // namespace

void PlaylistCurating::moveUp() {
    rearrange(kMoveName, moved(&tb::movedUp));
}
void PlaylistCurating::moveDown() {
    rearrange(kMoveName, moved(&tb::movedDown));
}
void PlaylistCurating::moveToTop() {
    rearrange(kMoveName, moved(&tb::movedToTop));
}
void PlaylistCurating::moveToBottom() {
    rearrange(kMoveName, moved(&tb::movedToBottom));
}

void PlaylistCurating::moveBefore(int row) {
    const auto target = static_cast<std::size_t>(std::max(0, row));
    rearrange(kMoveName, moved([target](const std::vector<bool>& selected) {
                  return tb::movedBefore(selected, target);
              }));
}

void PlaylistCurating::reverse() {
    rearrange(QStringLiteral("Obrátit pořadí"),
              reordered([](const tb::EntryStore&, const std::vector<bool>& selected, Progress&) {
                  return tb::reversedRows(selected);
              }));
}

void PlaylistCurating::shuffle() {
    const std::uint64_t seed = shuffleSeed_++;
    rearrange(QStringLiteral("Zamíchat"),
              reordered([seed](const tb::EntryStore&, const std::vector<bool>& selected,
                               Progress&) { return tb::shuffledRows(selected, seed); }));
}

void PlaylistCurating::sort(SortKey key) {
    const std::size_t weight = key == SortKey::ArtistAndTitle ? kTagWeight : kKeyWeight;
    const bool onThreads = onWorker(playlist_.count(), weight);
    const TagReader tags = tagReader_;
    run(
        QStringLiteral("Seřadit"),
        key == SortKey::ArtistAndTitle ? QStringLiteral("Čtu tagy souborů…")
                                       : QStringLiteral("Řadím…"),
        reordered([key, tags, onThreads](const tb::EntryStore& entries,
                                         const std::vector<bool>& selected, Progress& progress) {
            const std::vector<std::uint32_t> places = tb::rowsToShape(selected);
            progress.total = places.size();
            // The tags are read once, before sorting: two reads of a file that changed
            // between them would give the sort two answers.
            std::vector<QString> artists;
            std::vector<QString> titles;
            if (key == SortKey::ArtistAndTitle) {
                artists.resize(places.size());
                titles.resize(places.size());
                inParts(places.size(), onThreads, [&](std::size_t begin, std::size_t end) {
                    for (std::size_t i = begin; i < end && !stopped(progress); ++i) {
                        const std::size_t row = places[i];
                        const std::string_view file = entries.file(row);
                        if (file.empty() || !tags(std::string(file), artists[i], titles[i])) {
                            const tb::PlaylistItem item = entries.item(row);
                            artists[i] = QString::fromStdString(item.artist);
                            titles[i] = QString::fromStdString(item.title);
                        }
                        if (artists[i].isEmpty() && titles[i].isEmpty()) {
                            QStringDecoder utf8(QStringDecoder::Utf8,
                                                QStringDecoder::Flag::Stateless);
                            titles[i] =
                                tb::entryText(tb::nameWithoutExtension(pathOf(entries, row)), utf8);
                        }
                        progress.done.fetch_add(1, std::memory_order_relaxed);
                    }
                });
                if (stopped(progress))
                    return std::vector<std::uint32_t>();
            }
            tb::CollatedOrderRun order;
            order.twoTexts = key == SortKey::FolderAndName || key == SortKey::ArtistAndTitle;
            order.threads = onThreads ? std::clamp(std::thread::hardware_concurrency(), 1U, 4U) : 1;
            order.cancelled = &progress.cancelled;
            order.threadStart = &tb::lowerThisThreadsPriority;
            if (key != SortKey::ArtistAndTitle)
                order.done = &progress.done;
            const auto texts = [&](std::size_t i, std::u16string& first, std::u16string& second) {
                if (key == SortKey::ArtistAndTitle) {
                    assign(first, artists[i]);
                    assign(second, titles[i]);
                    return;
                }
                // One decoder a thread, made once.
                thread_local QStringDecoder utf8(QStringDecoder::Utf8,
                                                 QStringDecoder::Flag::Stateless);
                const std::size_t row = places[i];
                const std::string_view path = pathOf(entries, row);
                const std::size_t name = nameStart(path);
                switch (key) {
                case SortKey::Text:
                    assignEntryText(first, entries.at(row), utf8);
                    break;
                case SortKey::FileName:
                    assignEntryText(first, path.substr(name), utf8);
                    break;
                default:
                    assignEntryText(first, path.substr(0, name), utf8);
                    assignEntryText(second, path.substr(name), utf8);
                    break;
                }
            };
            std::vector<std::uint32_t> sorted = tb::collatedOrder(places.size(), texts, order);
            if (stopped(progress))
                return std::vector<std::uint32_t>();
            for (std::uint32_t& index : sorted)
                index = places[index];
            return tb::placedIn(selected.size(), places, sorted);
        }),
        [this](Result& result) { apply(QStringLiteral("Seřadit"), result); }, weight);
}

void PlaylistCurating::removeDuplicates() {
    const QString name = QStringLiteral("Odebrat duplicity");
    run(
        name, QStringLiteral("Hledám duplicity…"),
        [](const tb::EntryStore& entries, const std::vector<bool>&, Progress&) {
            std::vector<bool> flags = tb::laterDuplicates(
                entries.size(), [&](std::size_t row) { return pathOf(entries, row); });
            const auto count =
                static_cast<std::size_t>(std::count(flags.begin(), flags.end(), true));
            return removed(entries, std::move(flags), count);
        },
        [this, name](Result& result) {
            apply(name, result);
            dialogs_.message(
                &window_, tb::Dialogs::Kind::Information, QString(),
                result.count == 0
                    ? QStringLiteral("Playlist nemá žádné duplicitní položky.")
                    : QStringLiteral("Odebrané duplicitní položky: %1").arg(result.count),
                tb::Dialogs::Buttons::Ok);
        });
}

void PlaylistCurating::removeMissing() {
    const QString name = QStringLiteral("Odebrat chybějící soubory");
    run(
        name, QStringLiteral("Hledám chybějící soubory…"),
        [](const tb::EntryStore& entries, const std::vector<bool>&, Progress& progress) {
            Result result;
            result.flagged.assign(entries.size(), false);
            for (std::size_t row = 0; row < entries.size(); ++row) {
                if (stopped(progress))
                    return result;
                // An entry whose file is not known is not called missing.
                const std::string_view file = entries.file(row);
                if (!file.empty() && tb::fileKind(std::string(file)) == tb::FileKind::Missing) {
                    result.flagged[row] = true;
                    ++result.count;
                }
                progress.done.fetch_add(1, std::memory_order_relaxed);
            }
            return result;
        },
        [this, name](Result& found) {
            if (found.count == 0) {
                dialogs_.message(&window_, tb::Dialogs::Kind::Information, QString(),
                                 QStringLiteral("Soubory všech položek jsou na svém místě."),
                                 tb::Dialogs::Buttons::Ok);
                return;
            }
            const std::uint64_t checked = playlist_.generation();
            // A file may be missing only for now: a stick that is not plugged in.
            if (dialogs_.confirm(&window_,
                                 QStringLiteral("Nenalezené soubory: %1. Mohou chybět jen "
                                                "dočasně, například na nepřipojeném disku.\n"
                                                "Opravdu chcete jejich položky odebrat ?")
                                     .arg(found.count)) != tb::Dialogs::Answer::Yes)
                return;
            if (playlist_.generation() != checked) {
                removeMissing(); // the playlist changed while the box was open
                return;
            }
            const std::size_t count = found.count;
            run(
                name, QStringLiteral("Odebírám…"),
                [flags = std::move(found.flagged), count](const tb::EntryStore& entries,
                                                          const std::vector<bool>&, Progress&) {
                    return removed(entries, flags, count);
                },
                [this, name](Result& result) { apply(name, result); });
        });
}

void PlaylistCurating::removeSelected() {
    const QString name = QStringLiteral("Odebrat");
    run(
        name, QStringLiteral("Odebírám…"),
        [](const tb::EntryStore& entries, const std::vector<bool>& selected, Progress&) {
            const auto count =
                static_cast<std::size_t>(std::count(selected.begin(), selected.end(), true));
            return removed(entries, selected, count);
        },
        [this, name](Result& result) { apply(name, result); });
}

void PlaylistCurating::undo() {
    if (busy() || !playlist_.canUndo())
        return;
    playlist_.undo();
    afterChange();
}

void PlaylistCurating::redo() {
    if (busy() || !playlist_.canRedo())
        return;
    playlist_.redo();
    afterChange();
}
