#include "playlist/PlaylistExport.h"

#include "filetools/AudioLength.h"
#include "filetools/TagReader.h"

#include "platform/CheckedFile.h"
#include "platform/IoError.h"
#include "platform/RealPaths.h"
#include "playlist/formats/EntryFile.h"

#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <thread>

namespace tb {

std::string nameWithoutExtension(std::string_view path) {
    const std::size_t slash = path.find_last_of("/\\");
    std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.rfind('.');
    if (dot != std::string_view::npos && dot > 0)
        name = name.substr(0, dot);
    return std::string(name);
}

void applyTrackFields(PlaylistItem& item, const std::optional<TrackFields>& fields) {
    if (fields) {
        item.info.clear();
        item.title = fields->title.trimmed().toStdString();
        item.artist = fields->artist.trimmed().toStdString();
        item.album = fields->album.trimmed().toStdString();
        item.milliseconds = fields->milliseconds < 0 ? -1 : fields->milliseconds;
        if (item.title.empty() && item.artist.empty())
            item.title = nameWithoutExtension(item.file);
        return;
    }
    const bool hasInfo = !item.info.empty() || !item.title.empty() || !item.artist.empty();
    if (!hasInfo)
        item.title = nameWithoutExtension(item.file.empty() ? item.text : item.file);
}

PlaylistExport::PlaylistExport(std::vector<PlaylistItem> items, QString path, PlaylistFormat format,
                               TrackReader reader, QObject* parent)
    : QObject(parent), items_(std::move(items)), path_(std::move(path)), format_(format),
      reader_(std::move(reader)) {}

PlaylistExport::PlaylistExport(EntryStore entries, QString path, PlaylistFormat format,
                               TrackReader reader, QObject* parent)
    : QObject(parent), entries_(std::move(entries)), path_(std::move(path)), format_(format),
      reader_(std::move(reader)) {}

PlaylistExport::~PlaylistExport() {
    cancel();
    if (worker_)
        worker_->wait();
}

void PlaylistExport::start() {
    if (worker_)
        return;
    worker_.reset(QThread::create([this] { run(); }));
    worker_->start();
}

bool PlaylistExport::isRunning() const {
    return worker_ && worker_->isRunning();
}

bool PlaylistExport::readAll(int total) {
    // Opening a file takes most of the time and waits on the disk; the files are read
    // by a few threads at once, each taking the next entry.
    const int readers = std::clamp(QThread::idealThreadCount(), 1, kMostReaders);
    std::atomic<int> next{0};
    std::atomic<int> done{0};
    std::mutex mutex;
    std::condition_variable allDone;
    // An entry that came without its file, as the lines of an M3U do, names it from
    // the folder the playlist is saved in, where relative entries point.
    const std::string folder = QFile::encodeName(QFileInfo(path_).absolutePath()).toStdString();
    const auto read = [&] {
        for (int i = next++; i < total && !cancelRequested_.load(std::memory_order_relaxed);
             i = next++) {
            PlaylistItem& item = items_[static_cast<std::size_t>(i)];
            std::optional<TrackFields> fields;
            if (item.file.empty())
                item.file = resolveEntryFile(item.text, folder, isEntryFile);
            if (!item.file.empty() && reader_) {
                try {
                    fields = reader_(QByteArray::fromStdString(item.file));
                } catch (...) {
                    fields.reset(); // one unreadable file stops no other
                }
            }
            applyTrackFields(item, fields);
            if (++done == total) {
                const std::lock_guard lock(mutex);
                allDone.notify_one();
            }
        }
    };
    std::vector<std::thread> threads;
    threads.reserve(static_cast<std::size_t>(readers));
    for (int i = 0; i < readers; ++i)
        threads.emplace_back(read);
    {
        std::unique_lock lock(mutex);
        while (done < total && !cancelRequested_.load(std::memory_order_relaxed)) {
            allDone.wait_for(lock, std::chrono::milliseconds(kProgressIntervalMs));
            emit progress(done, total);
        }
    }
    for (std::thread& thread : threads)
        thread.join();
    return done == total;
}

void PlaylistExport::applyPathMode() {
    if (pathMode_ == SavedPathMode::AsEntered)
        return;
    const std::string folder = QFile::encodeName(QFileInfo(path_).absolutePath()).toStdString();
    // A relative path is followed from where the folder really is: "../" out of a linked
    // folder leads to the parent of the link's target.
    const bool relative = pathMode_ == SavedPathMode::Relative;
    const std::string from = relative ? realPath(folder) : folder;
    for (PlaylistItem& item : items_) {
        if (item.file.empty()) // an M3U's entries are not read, nor their files looked up
            item.file = resolveEntryFile(item.text, folder, entryFileExists);
        const std::string file = relative && !item.file.empty() ? realPath(item.file) : item.file;
        item.text = savedEntryText(item.text, file, from, pathMode_, onSameVolume);
    }
}

void PlaylistExport::run() {
    // Nothing may leave the worker by an exception: each ends in one of the signals.
    try {
        if (!entries_.empty()) {
            items_.reserve(entries_.size());
            for (std::size_t i = 0; i < entries_.size(); ++i)
                items_.push_back(entries_.item(i));
            entries_.clear();
        }
        const PlaylistFormatRow& row = formatRow(format_);
        if (!row.write)
            throw std::invalid_argument(std::string(row.suffix) + " is written by the window");
        const int total = static_cast<int>(items_.size());
        emit progress(0, total);
        if (!readAll(total)) {
            emit cancelled();
            return;
        }
        applyPathMode();
        const std::string bytes = row.write(items_);
        if (cancelRequested_.load(std::memory_order_relaxed)) {
            emit cancelled();
            return;
        }
        {
            CheckedFile file(path_, CheckedFile::Mode::Replace);
            file.write(bytes);
            if (cancelRequested_.load(std::memory_order_relaxed)) {
                emit cancelled(); // the file goes with its temporary name
                return;
            }
            file.commit();
        }
        emit progress(total, total);
        emit finished();
    } catch (const std::exception& error) {
        emit failed(QString::fromStdString(error.what()));
    } catch (...) {
        emit failed(QString::fromStdString(ioErrorMessage(0)));
    }
}

std::optional<TrackFields> readTrackFields(const QByteArray& path) {
    // Every kind but MP3 gives its length with its tag, from one reading of the file.
    const TagFields tags = readTagFieldsAndLength(path);
    const int milliseconds = tags.lengthRead ? tags.milliseconds : audioLengthMilliseconds(path);
    return TrackFields{tags.title, tags.artist, tags.album, milliseconds};
}

} // namespace tb
