#pragma once

#include "playlist/EntryStore.h"

#include <QAbstractListModel>
#include <QStringDecoder>
#include <string_view>
#include <vector>

// The playlist: an ordered list of entries, duplicates allowed. Entries are byte
// strings, kept and written byte for byte; only the display decodes them.
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
    // Keeps the entries whose flag is false; one flag per entry.
    void removeFlagged(const std::vector<bool>& remove);
    void clear();
    // The memory that the entries take, in bytes.
    std::size_t memoryBytes() const { return entries_.allocatedBytes(); }

    // Entries are shown as UTF-8 when they are valid UTF-8, else as Windows-1250,
    // the code page of playlists written on Czech Windows.
    QString displayText(std::string_view entry) const;

private:
    tb::EntryStore entries_;
    mutable QStringDecoder utf8_;
};
