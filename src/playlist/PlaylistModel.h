#pragma once

#include "playlist/store/EditHistory.h"
#include "playlist/store/EntryStore.h"

#include <QAbstractListModel>
#include <QStringDecoder>
#include <cstdint>
#include <string_view>
#include <vector>

namespace tb {
// An entry's text as shown: UTF-8 where it is valid UTF-8, else Windows-1250, the code
// page of playlists written on Czech Windows; only its first 4 kB. Each thread has
// its own decoder.
QString entryText(std::string_view entry, QStringDecoder& utf8);
} // namespace tb

// The playlist: an ordered list of entries, duplicates allowed. Entries are byte
// strings, kept and written byte for byte; only the display decodes them.
//
// Every change can be undone and made again (see tb::EditHistory). A change made
// outside a step is a step of its own, named after what it did.
class PlaylistModel : public QAbstractListModel {
    Q_OBJECT

public:
    explicit PlaylistModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    std::size_t count() const { return entries_.size(); }
    std::string_view entry(std::size_t row) const { return entries_.at(row); }
    // The path of the file the entry came from, bytes; empty where it is not known.
    std::string_view entryFile(std::size_t row) const { return entries_.file(row); }
    // Whether the entry came with a title, an artist or a length from a playlist file.
    bool hasEntryInfo(std::size_t row) const { return entries_.hasInfo(row); }
    // The entry whole: text, file and what came with it.
    tb::PlaylistItem item(std::size_t row) const { return entries_.item(row); }
    // Every entry whole.
    std::vector<tb::PlaylistItem> items() const;
    // A copy of the entries, made quickly, for a save on another thread.
    tb::EntryStore snapshot() const { return entries_.copy(); }

    // Makes room ahead of a large append whose size is known.
    void reserve(std::size_t entries, std::size_t bytes, std::size_t fileBytes = 0) {
        entries_.reserveMore(entries, bytes, fileBytes);
    }
    // The entry and the path of the file it came from, if known.
    void append(std::string_view entry, std::string_view file = {});
    // Appends many entries with one notification; `files` is empty or holds one path
    // per entry.
    void appendAll(const std::vector<std::string_view>& entries,
                   const std::vector<std::string_view>& files = {});
    // Entries read from a playlist file, each with its file and what came with it.
    void appendItems(const std::vector<tb::PlaylistItem>& items);
    // Bytes that the next appended entry begins with: a line read in several pieces
    // is kept once, not gathered elsewhere first.
    void appendPart(std::string_view part) { entries_.appendPart(part); }
    void discardPart() { entries_.discardPart(); }
    // Room to read a playlist file's next bytes into, and its lines read there, with one
    // notification: the file's bytes are copied once, by the read.
    char* readRoom(std::size_t bytes) { return entries_.readRoom(bytes); }
    void appendAllRead(const std::vector<std::string_view>& entries, std::string_view open);
    // Keeps the entries whose flag is false; one flag per entry.
    void removeFlagged(const std::vector<bool>& remove);
    void clear();
    // The memory that the entries take, in bytes.
    std::size_t memoryBytes() const { return entries_.allocatedBytes(); }

    // Row i gets the entry that was at rows[i]; one row per entry, each once.
    void reorder(const std::vector<std::uint32_t>& rows, const QString& name);
    // Puts entries made from a snapshot in place of the playlist's, as one change.
    void replaceEntries(tb::EntryStore entries, const QString& name);

    // The playlist kept from the last run, in place of the entries; nothing to undo.
    void restore(tb::EntryStore entries) {
        history_.clear();
        replaceWith(entries);
    }

    // The changes made between the two are undone as one, under the outermost name.
    void beginStep(const QString& name);
    void endStep();
    // A step for the scope it lives in.
    class Step {
    public:
        Step(PlaylistModel& model, const QString& name) : model_(model) { model_.beginStep(name); }
        ~Step() { model_.endStep(); }
        Step(const Step&) = delete;
        Step& operator=(const Step&) = delete;

    private:
        PlaylistModel& model_;
    };
    // Nothing is undone or redone while a step is open.
    bool canUndo() const { return stepDepth_ == 0 && history_.canUndo(); }
    bool canRedo() const { return stepDepth_ == 0 && history_.canRedo(); }
    QString undoName() const { return QString::fromStdString(history_.undoName()); }
    QString redoName() const { return QString::fromStdString(history_.redoName()); }
    void undo();
    void redo();
    const tb::EditHistory& history() const { return history_; }
    // Counts the changes: a snapshot is still the playlist while this stays the same.
    std::uint64_t generation() const { return generation_; }

    // The entry as shown (see tb::entryText).
    QString displayText(std::string_view entry) const { return tb::entryText(entry, utf8_); }

signals:
    // A change was made, undone or made again, or a step ended.
    void historyChanged();

private:
    void changed() { ++generation_; }
    void replaceWith(tb::EntryStore& entries);

    tb::EntryStore entries_;
    tb::EditHistory history_;
    std::uint64_t generation_ = 0;
    int stepDepth_ = 0;
    QString stepName_;
    tb::EntryStore stepBefore_;
    std::uint64_t stepGeneration_ = 0;
    mutable QStringDecoder utf8_;
};
