#include "platform/Sqlite.h"

#include <sqlite3.h>

namespace tb {

SqliteDatabase::SqliteDatabase(const std::string& path, bool create) {
    const int flags =
        SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX | (create ? SQLITE_OPEN_CREATE : 0);
    const int code = sqlite3_open_v2(path.c_str(), &db_, flags, nullptr);
    if (code != SQLITE_OK) {
        const std::string message = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(code);
        sqlite3_close(db_);
        db_ = nullptr;
        throw SqliteError(code, message);
    }
    sqlite3_extended_result_codes(db_, 1);
}

SqliteDatabase::~SqliteDatabase() {
    sqlite3_close_v2(db_);
}

void SqliteDatabase::fail(int code) const {
    throw SqliteError(code, sqlite3_errmsg(db_));
}

void SqliteDatabase::exec(const char* sql) {
    const int code = sqlite3_exec(db_, sql, nullptr, nullptr, nullptr);
    if (code != SQLITE_OK)
        fail(code);
}

std::int64_t SqliteDatabase::number(const char* sql) {
    SqliteStatement query(*this, sql);
    const std::int64_t value = query.step() ? query.integer(0) : 0;
    while (query.step()) {
    }
    return value;
}

bool SqliteDatabase::inTransaction() const {
    return sqlite3_get_autocommit(db_) == 0;
}

SqliteStatement::SqliteStatement(SqliteDatabase& db, const char* sql) : db_(db) {
    const int code = sqlite3_prepare_v2(db.handle(), sql, -1, &statement_, nullptr);
    if (code != SQLITE_OK)
        db.fail(code);
}

SqliteStatement::~SqliteStatement() {
    sqlite3_finalize(statement_);
}

void SqliteStatement::bind(int parameter, std::int64_t value) {
    const int code = sqlite3_bind_int64(statement_, parameter, value);
    if (code != SQLITE_OK)
        db_.fail(code);
}

void SqliteStatement::bindBlob(int parameter, std::string_view bytes) {
    // An empty blob is bound as a zero-length blob, never as NULL.
    static const char kNothing = 0;
    const int code =
        sqlite3_bind_blob64(statement_, parameter, bytes.empty() ? &kNothing : bytes.data(),
                            bytes.size(), SQLITE_STATIC);
    if (code != SQLITE_OK)
        db_.fail(code);
}

void SqliteStatement::run() {
    while (step()) {
    }
}

bool SqliteStatement::step() {
    const int code = sqlite3_step(statement_);
    if (code == SQLITE_ROW)
        return true;
    sqlite3_reset(statement_);
    if (code != SQLITE_DONE)
        db_.fail(code);
    return false;
}

std::int64_t SqliteStatement::integer(int column) const {
    return sqlite3_column_int64(statement_, column);
}

std::string_view SqliteStatement::blob(int column) const {
    const void* bytes = sqlite3_column_blob(statement_, column);
    const int size = sqlite3_column_bytes(statement_, column);
    return bytes ? std::string_view(static_cast<const char*>(bytes), static_cast<std::size_t>(size))
                 : std::string_view();
}

} // namespace tb
