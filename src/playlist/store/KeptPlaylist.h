#pragma once

#include "playlist/store/RowMatching.h"

#include <cstdint>
#include <memory>
#include <string>

namespace tb {

class SqliteDatabase;

// The playlist kept in a database file between runs, written change by change: each
// entry once under an id of its own (packed in bundles of neighbouring ids), and the
// order as runs of ids. A write holds only
// what changed against the last one (the bundles that gained or lost entries, the runs
// of the order that differ), in one transaction synced to the disk at commit, so that the file
// always holds the playlist of some completed write, whatever stops the program.
//
// SQLite keeps it, in write-ahead mode: a commit appends to the log and syncs it, and a
// log cut short by a crash ends at the last commit it holds whole.
class KeptPlaylist {
public:
    // Ids an order run holds; one run fits a database page.
    static constexpr std::size_t kRunIds = 1000;

    explicit KeptPlaylist(std::string path);
    ~KeptPlaylist();

    // Reads the kept playlist; a missing file reads as an empty one. Throws SqliteError
    // (or IoError) where the file cannot be opened or read, is damaged, or comes from a
    // newer version of the program; the file is then left as it is.
    EntryStore open();
    // Keeps `next` as the playlist: writes what it changed against the last state read or
    // kept, making the file at the first write. When it throws, nothing of it was kept,
    // and the next call writes against the same earlier state.
    void keep(const EntryStore& next);
    // Closes the file; the next keep writes the whole playlist into it again.
    void close();

    const std::string& path() const { return path_; }
    // The database, its log and what else SQLite keeps beside it.
    static void removeFiles(const std::string& path);
    // Renames the file (and its log) to a new name beside it that no file has, and
    // returns that name. Throws IoError where it cannot.
    static std::string setAside(const std::string& path);

private:
    EntryStore read();
    void create();
    void configure();
    void writeChanges(const EntryStore& next, const RowMatch& match);
    void writeBundles(const EntryStore& next, const RowMatch& match);

    std::string path_;
    std::unique_ptr<SqliteDatabase> db_;
    KeptRows kept_;
    std::uint32_t nextId_ = 1;
};

} // namespace tb
