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

    // Makes room ahead of a large append whose size is known.
    void reserve(std::size_t entries, std::size_t bytes) { entries_.reserveMore(entries, bytes); }
    void append(std::string_view entry);
    // Appends many entries with one notification.
    void appendAll(const std::vector<std::string_view>& entries);
    // Bytes that the next appended entry begins with: a line read in several pieces
    // is kept once, not gathered elsewhere first.
    void appendPart(std::string_view part) { entries_.appendPart(part); }
    void discardPart() { entries_.discardPart(); }
    // Keeps the entries whose flag is false; one flag per entry.
    void removeFlagged(const std::vector<bool>& remove);
    void clear();

    // Entries are shown as UTF-8 when they are valid UTF-8, else as Windows-1250,
    // the code page of playlists written on Czech Windows.
    QString displayText(std::string_view entry) const;

private:
    tb::EntryStore entries_;
    mutable QStringDecoder utf8_;
};
