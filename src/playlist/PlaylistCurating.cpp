#include "playlist/PlaylistCurating.h"

#include "controls/Digits.h"
#include "filetools/CzechOrder.h"
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
#include <numeric>

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

// Sort keys of the shaped rows, one or two per row, made on several threads: a key
// compares far faster than its text, so each text is weighed once, not per comparison.
class SortKeys {
public:
    // texts(row, first, second) gives the one or two texts a row is sorted by.
    using Texts =
        std::function<void(std::size_t row, QStringDecoder& utf8, QString& first, QString& second)>;

    SortKeys(const std::vector<std::uint32_t>& rows, bool twoKeys, const Texts& texts,
             PlaylistCurating::Progress& progress, bool onThreads) {
        const std::size_t threads =
            onThreads ? std::clamp<std::size_t>(std::thread::hardware_concurrency(), 1, 4) : 1;
        chunk_ = std::max<std::size_t>(1, (rows.size() + threads - 1) / threads);
        const std::size_t chunks = (rows.size() + chunk_ - 1) / chunk_;
        first_.resize(chunks);
        second_.resize(twoKeys ? chunks : 0);
        const auto make = [&](std::size_t index) {
            tb::lowerThisThreadsPriority();
            const tb::CzechOrder order;
            QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
            const std::size_t begin = index * chunk_;
            const std::size_t end = std::min(rows.size(), begin + chunk_);
            first_[index].reserve(end - begin);
            if (twoKeys)
                second_[index].reserve(end - begin);
            QString first;
            QString second;
            for (std::size_t i = begin; i < end; ++i) {
                if (stopped(progress))
                    return;
                texts(rows[i], utf8, first, second);
                first_[index].push_back(order.sortKey(first));
                if (twoKeys)
                    second_[index].push_back(order.sortKey(second));
                progress.done.fetch_add(1, std::memory_order_relaxed);
            }
        };
        std::vector<std::thread> helpers;
        for (std::size_t index = 1; index < chunks; ++index)
            helpers.emplace_back(make, index);
        if (chunks > 0)
            make(0);
        for (std::thread& helper : helpers)
            helper.join();
    }

    // Compares the keys of the i-th and the j-th shaped row.
    int compare(std::size_t i, std::size_t j) const {
        const int first = key(first_, i).compare(key(first_, j));
        if (first != 0 || second_.empty())
            return first;
        return key(second_, i).compare(key(second_, j));
    }

private:
    const QCollatorSortKey& key(const std::vector<std::vector<QCollatorSortKey>>& keys,
                                std::size_t i) const {
        return keys[i / chunk_][i % chunk_];
    }

    std::size_t chunk_ = 1;
    std::vector<std::vector<QCollatorSortKey>> first_;
    std::vector<std::vector<QCollatorSortKey>> second_;
};

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
    const auto texts = [key, tags](const tb::EntryStore& entries) -> SortKeys::Texts {
        return [&entries, key, tags](std::size_t row, QStringDecoder& utf8, QString& first,
                                     QString& second) {
            const std::string_view path = pathOf(entries, row);
            const std::size_t name = nameStart(path);
            switch (key) {
            case SortKey::Text:
                first = tb::entryText(entries.at(row), utf8);
                break;
            case SortKey::FileName:
                first = tb::entryText(path.substr(name), utf8);
                break;
            case SortKey::FolderAndName:
                first = tb::entryText(path.substr(0, name), utf8);
                second = tb::entryText(path.substr(name), utf8);
                break;
            case SortKey::ArtistAndTitle: {
                const std::string_view file = entries.file(row);
                if (file.empty() || !tags(std::string(file), first, second)) {
                    const tb::PlaylistItem item = entries.item(row);
                    first = QString::fromStdString(item.artist);
                    second = QString::fromStdString(item.title);
                }
                if (first.isEmpty() && second.isEmpty())
                    second = tb::entryText(tb::nameWithoutExtension(path), utf8);
                break;
            }
            }
        };
    };
    const bool twoKeys = key == SortKey::FolderAndName || key == SortKey::ArtistAndTitle;
    run(
        QStringLiteral("Seřadit"),
        key == SortKey::ArtistAndTitle ? QStringLiteral("Čtu tagy souborů…")
                                       : QStringLiteral("Řadím…"),
        reordered([texts, twoKeys, onThreads](const tb::EntryStore& entries,
                                              const std::vector<bool>& selected,
                                              Progress& progress) {
            const std::vector<std::uint32_t> places = tb::rowsToShape(selected);
            progress.total = places.size();
            const SortKeys keys(places, twoKeys, texts(entries), progress, onThreads);
            if (stopped(progress))
                return std::vector<std::uint32_t>();
            std::vector<std::uint32_t> order(places.size());
            std::iota(order.begin(), order.end(), std::uint32_t{0});
            const auto less = [&](std::uint32_t a, std::uint32_t b) {
                return keys.compare(a, b) < 0;
            };
            if (onThreads && order.size() > 1) {
                // Each half on its own core, then merged; equal keys keep their order.
                const auto middle = order.begin() + static_cast<std::ptrdiff_t>(order.size() / 2);
                std::thread firstHalf([&] {
                    tb::lowerThisThreadsPriority();
                    std::stable_sort(order.begin(), middle, less);
                });
                std::stable_sort(middle, order.end(), less);
                firstHalf.join();
                std::inplace_merge(order.begin(), middle, order.end(), less);
            } else {
                std::stable_sort(order.begin(), order.end(), less);
            }
            for (std::uint32_t& index : order)
                index = places[index];
            return tb::placedIn(selected.size(), places, order);
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
