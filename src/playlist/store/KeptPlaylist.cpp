#include "playlist/store/KeptPlaylist.h"

#include "platform/Deflate.h"
#include "platform/Sqlite.h"

#include <algorithm>
#include <filesystem>
#include <limits>
#include <system_error>
#include <utility>

namespace tb {

namespace {
// "TBKP": a file of ours, not any database that happens to stand under the name.
constexpr std::int64_t kApplicationId = 0x54424B50;
constexpr std::int64_t kLayout = 1;

const char* const kSuffixes[] = {"", "-wal", "-shm", "-journal"};

// Ids of an order run, four little-endian bytes each, the same on every machine.
std::string runBytes(const std::vector<std::uint32_t>& ids, std::size_t from, std::size_t to) {
    std::string bytes;
    bytes.resize((to - from) * 4);
    for (std::size_t i = from; i < to; ++i)
        for (int shift = 0; shift < 4; ++shift)
            bytes[(i - from) * 4 + static_cast<std::size_t>(shift)] =
                static_cast<char>((ids[i] >> (8 * shift)) & 0xFF);
    return bytes;
}

std::uint32_t idAt(std::string_view run, std::size_t index) {
    std::uint32_t id = 0;
    for (int shift = 3; shift >= 0; --shift)
        id = (id << 8) |
             static_cast<unsigned char>(run[index * 4 + static_cast<std::size_t>(shift)]);
    return id;
}

[[noreturn]] void damaged(const char* what) {
    throw SqliteError(0, what);
}

// Entries are kept in bundles of kBundleIds consecutive ids, packed together: paths
// side by side repeat most of their bytes, and a bundle packs to a fraction of them.
constexpr std::uint32_t kBundleIds = 128;
constexpr std::int64_t kLastBundle = std::numeric_limits<std::uint32_t>::max() / kBundleIds;

// A length as seven bits a byte, low bits first.
void appendSized(std::string& out, std::string_view bytes) {
    std::uint64_t size = bytes.size();
    do {
        out += static_cast<char>((size & 0x7F) | (size >= 0x80 ? 0x80 : 0));
        size >>= 7;
    } while (size != 0);
    out += bytes;
}

std::string_view takeSized(std::string_view& from) {
    std::uint64_t size = 0;
    for (int shift = 0;; shift += 7) {
        if (from.empty() || shift > 56)
            damaged("a damaged bundle");
        const auto byte = static_cast<unsigned char>(from.front());
        from.remove_prefix(1);
        size |= std::uint64_t{byte & 0x7Fu} << shift;
        if ((byte & 0x80) == 0)
            break;
    }
    if (size > from.size())
        damaged("a damaged bundle");
    const std::string_view bytes = from.substr(0, static_cast<std::size_t>(size));
    from.remove_prefix(static_cast<std::size_t>(size));
    return bytes;
}

// Appends the bundle's entries, whose ids must come after those read before.
void readBundle(std::string_view bytes, std::uint32_t bundle, EntryStore& entries,
                std::vector<std::uint32_t>& ids) {
    while (!bytes.empty()) {
        const auto offset = static_cast<unsigned char>(bytes.front());
        bytes.remove_prefix(1);
        const std::uint32_t id = bundle * kBundleIds + offset;
        if (offset >= kBundleIds || id == 0 || (!ids.empty() && id <= ids.back()))
            damaged("a damaged bundle");
        const std::string_view text = takeSized(bytes);
        const std::string_view side = takeSized(bytes);
        if (!entries.appendWithSide(text, side))
            damaged("a damaged entry");
        ids.push_back(id);
    }
}

std::size_t runCount(std::size_t rows) {
    return (rows + KeptPlaylist::kRunIds - 1) / KeptPlaylist::kRunIds;
}
} // namespace

KeptPlaylist::KeptPlaylist(std::string path) : path_(std::move(path)) {}

KeptPlaylist::~KeptPlaylist() = default;

void KeptPlaylist::configure() {
    // One process holds the file: no shared-memory index beside it, and no other
    // program reads it half written.
    db_->exec("PRAGMA locking_mode=EXCLUSIVE");
    db_->exec("PRAGMA journal_mode=WAL");
    db_->exec("PRAGMA synchronous=FULL");
    // A log grown by a large change is cut back after it is copied into the file.
    db_->exec("PRAGMA journal_size_limit=16777216");
    // A large change is written once into the log, not again each time the cache spills.
    db_->exec("PRAGMA cache_size=-65536");
}

EntryStore KeptPlaylist::open() {
    close();
    std::error_code error;
    if (!std::filesystem::exists(path_, error) && !error)
        return {};
    try {
        return read();
    } catch (...) {
        close(); // the file may now be set aside
        throw;
    }
}

EntryStore KeptPlaylist::read() {
    db_ = std::make_unique<SqliteDatabase>(path_, false);
    configure();
    // A file whose making was cut short before its first commit holds nothing yet.
    if (db_->number("SELECT count(*) FROM sqlite_master") == 0) {
        db_.reset();
        return {};
    }
    if (db_->number("PRAGMA application_id") != kApplicationId)
        damaged("not a kept playlist");
    if (db_->number("PRAGMA user_version") != kLayout)
        damaged("a kept playlist of another layout");

    EntryStore entries;
    std::vector<std::uint32_t> storedIds;
    SqliteStatement readBundles(*db_, "SELECT bundle, size, bytes FROM bundles ORDER BY bundle");
    while (readBundles.step()) {
        const std::int64_t bundle = readBundles.integer(0);
        const std::int64_t size = readBundles.integer(1);
        if (bundle < 0 || bundle > kLastBundle || size < 0)
            damaged("a damaged bundle");
        const std::string bytes = inflated(readBundles.blob(2), static_cast<std::size_t>(size));
        readBundle(bytes, static_cast<std::uint32_t>(bundle), entries, storedIds);
    }

    // The order: every entry once, in runs of kRunIds ids but the last.
    std::vector<std::uint32_t> rows;
    std::vector<std::uint32_t> ids;
    rows.reserve(storedIds.size());
    ids.reserve(storedIds.size());
    std::vector<bool> placed(storedIds.size(), false);
    SqliteStatement readRuns(*db_, "SELECT run, ids FROM rows ORDER BY run");
    std::int64_t expectedRun = 0;
    bool lastRun = false;
    while (readRuns.step()) {
        const std::string_view run = readRuns.blob(1);
        if (readRuns.integer(0) != expectedRun++ || lastRun || run.empty() || run.size() % 4 ||
            run.size() > kRunIds * 4)
            damaged("a damaged order");
        lastRun = run.size() < kRunIds * 4;
        for (std::size_t i = 0; i < run.size() / 4; ++i) {
            const std::uint32_t id = idAt(run, i);
            const auto found = std::lower_bound(storedIds.begin(), storedIds.end(), id);
            if (found == storedIds.end() || *found != id)
                damaged("an order naming a missing entry");
            const auto stored = static_cast<std::size_t>(found - storedIds.begin());
            if (placed[stored])
                damaged("an order naming an entry twice");
            placed[stored] = true;
            rows.push_back(static_cast<std::uint32_t>(stored));
            ids.push_back(id);
        }
    }
    if (rows.size() != storedIds.size())
        damaged("entries outside the order");
    if (!std::is_sorted(rows.begin(), rows.end()))
        entries.reorder(rows);

    kept_.ids = std::move(ids);
    kept_.entries = entries.copy();
    nextId_ = storedIds.empty() ? 1 : storedIds.back() + 1;
    return entries;
}

void KeptPlaylist::create() {
    db_ = std::make_unique<SqliteDatabase>(path_, true);
    configure();
    db_->exec("BEGIN IMMEDIATE");
    db_->exec("DROP TABLE IF EXISTS bundles");
    db_->exec("DROP TABLE IF EXISTS rows");
    db_->exec("CREATE TABLE bundles(bundle INTEGER PRIMARY KEY, size INTEGER NOT NULL, "
              "bytes BLOB NOT NULL)");
    db_->exec("CREATE TABLE rows(run INTEGER PRIMARY KEY, ids BLOB NOT NULL)");
    db_->exec(("PRAGMA application_id=" + std::to_string(kApplicationId)).c_str());
    db_->exec(("PRAGMA user_version=" + std::to_string(kLayout)).c_str());
    db_->exec("COMMIT");
    kept_ = KeptRows();
    nextId_ = 1;
}

void KeptPlaylist::keep(const EntryStore& next) {
    // Ids run out after four billion entries added in one file's life: then the
    // playlist is written whole again under new ones.
    if (db_ && std::numeric_limits<std::uint32_t>::max() - nextId_ < next.size()) {
        close();
        removeFiles(path_);
    }
    if (!db_) {
        try {
            create();
        } catch (...) {
            close(); // half made: the next write makes the file again
            throw;
        }
    }
    std::uint32_t nextId = nextId_;
    RowMatch match = matchRows(kept_, next, nextId);
    try {
        writeChanges(next, match);
    } catch (...) {
        if (db_->inTransaction()) {
            try {
                db_->exec("ROLLBACK");
            } catch (...) {
                close(); // the next write opens the file again
            }
        }
        throw;
    }
    nextId_ = nextId;
    kept_.entries = next.copy();
    kept_.ids = std::move(match.ids);
}

void KeptPlaylist::writeChanges(const EntryStore& next, const RowMatch& match) {
    db_->exec("BEGIN IMMEDIATE");
    if (next.empty()) {
        db_->exec("DELETE FROM bundles");
        db_->exec("DELETE FROM rows");
    } else {
        writeBundles(next, match);
        SqliteStatement writeRun(*db_, "INSERT OR REPLACE INTO rows(run, ids) VALUES(?, ?)");
        const std::size_t rows = next.size();
        for (std::size_t run = 0; run < runCount(rows); ++run) {
            const std::size_t from = run * kRunIds;
            const std::size_t to = std::min(rows, from + kRunIds);
            const std::size_t keptTo = std::min(kept_.ids.size(), from + kRunIds);
            const bool unchanged =
                keptTo == to && std::equal(match.ids.begin() + static_cast<std::ptrdiff_t>(from),
                                           match.ids.begin() + static_cast<std::ptrdiff_t>(to),
                                           kept_.ids.begin() + static_cast<std::ptrdiff_t>(from));
            if (unchanged)
                continue;
            const std::string bytes = runBytes(match.ids, from, to);
            writeRun.bind(1, static_cast<std::int64_t>(run));
            writeRun.bindBlob(2, bytes);
            writeRun.run();
        }
        if (runCount(kept_.ids.size()) > runCount(rows)) {
            SqliteStatement cut(*db_, "DELETE FROM rows WHERE run>=?");
            cut.bind(1, static_cast<std::int64_t>(runCount(rows)));
            cut.run();
        }
    }
    db_->exec("COMMIT");
}

void KeptPlaylist::writeBundles(const EntryStore& next, const RowMatch& match) {
    // The bundles that lost or gained an entry, written again whole from what `next` holds.
    std::vector<bool> changed;
    const auto mark = [&](std::uint32_t id) {
        const std::size_t bundle = id / kBundleIds;
        if (changed.size() <= bundle)
            changed.resize(bundle + 1, false);
        changed[bundle] = true;
    };
    for (const std::uint32_t id : match.removed)
        mark(id);
    for (const std::size_t row : match.added)
        mark(match.ids[row]);
    std::vector<std::vector<std::pair<std::uint32_t, std::size_t>>> members(changed.size());
    for (std::size_t row = 0; row < next.size(); ++row) {
        const std::size_t bundle = match.ids[row] / kBundleIds;
        if (bundle < changed.size() && changed[bundle])
            members[bundle].emplace_back(match.ids[row], row);
    }
    SqliteStatement write(*db_,
                          "INSERT OR REPLACE INTO bundles(bundle, size, bytes) VALUES(?, ?, ?)");
    SqliteStatement remove(*db_, "DELETE FROM bundles WHERE bundle=?");
    for (std::size_t bundle = 0; bundle < changed.size(); ++bundle) {
        if (!changed[bundle])
            continue;
        auto& entries = members[bundle];
        if (entries.empty()) {
            remove.bind(1, static_cast<std::int64_t>(bundle));
            remove.run();
            continue;
        }
        std::sort(entries.begin(), entries.end());
        std::string bytes;
        for (const auto& [id, row] : entries) {
            bytes += static_cast<char>(id % kBundleIds);
            appendSized(bytes, next.at(row));
            appendSized(bytes, next.side(row));
        }
        const std::string packed = deflated(bytes);
        write.bind(1, static_cast<std::int64_t>(bundle));
        write.bind(2, static_cast<std::int64_t>(bytes.size()));
        write.bindBlob(3, packed);
        write.run();
    }
}

void KeptPlaylist::close() {
    db_.reset();
    kept_ = KeptRows();
    nextId_ = 1;
}

void KeptPlaylist::removeFiles(const std::string& path) {
    for (const char* suffix : kSuffixes) {
        std::error_code ignored;
        std::filesystem::remove(path + suffix, ignored);
    }
}

std::string KeptPlaylist::setAside(const std::string& path) {
    const std::filesystem::path original(path);
    std::string aside;
    for (int number = 1;; ++number) {
        aside = (original.parent_path() / (original.stem().string() + "-odlozeny-" +
                                           std::to_string(number) + original.extension().string()))
                    .string();
        std::error_code error;
        bool taken = false;
        for (const char* suffix : kSuffixes)
            taken = taken ||
                    std::filesystem::exists(std::filesystem::symlink_status(aside + suffix, error));
        if (!taken)
            break;
    }
    // The log goes with the file: alone, it would be read into whatever comes next.
    for (const char* suffix : {"-wal", "-journal"}) {
        std::error_code error;
        if (std::filesystem::exists(std::filesystem::symlink_status(path + suffix, error)))
            std::filesystem::rename(path + suffix, aside + suffix, error);
    }
    std::error_code error;
    std::filesystem::rename(path, aside, error);
    if (error)
        throw IoError::fromErrno(error.value());
    std::filesystem::remove(path + "-shm", error);
    return aside;
}

} // namespace tb
