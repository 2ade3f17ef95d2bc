#pragma once

#include "platform/IoError.h"

#include <cstdint>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace tb {

// A failure reported by SQLite, with its result code.
class SqliteError : public IoError {
public:
    using IoError::IoError;
};

class SqliteStatement;

// One open database file. Every call throws SqliteError on failure.
class SqliteDatabase {
public:
    // Opens the file, making it when `create` is set; a missing file is an error otherwise.
    SqliteDatabase(const std::string& path, bool create);
    ~SqliteDatabase();
    SqliteDatabase(const SqliteDatabase&) = delete;
    SqliteDatabase& operator=(const SqliteDatabase&) = delete;

    void exec(const char* sql);
    // The first column of the first row of a query that yields one number.
    std::int64_t number(const char* sql);
    // Whether a transaction is open, as after a failed COMMIT.
    bool inTransaction() const;
    sqlite3* handle() const { return db_; }
    [[noreturn]] void fail(int code) const;

private:
    sqlite3* db_ = nullptr;
};

// A prepared statement, reset for its next use by each `run` or finished row walk.
class SqliteStatement {
public:
    SqliteStatement(SqliteDatabase& db, const char* sql);
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    // Parameters count from 1. A blob is bound without a copy: it must live until the
    // statement runs.
    void bind(int parameter, std::int64_t value);
    void bindBlob(int parameter, std::string_view bytes);
    // Runs a statement that yields no rows, and makes it ready for the next run.
    void run();
    // The next row; false (and ready for the next run) when there is none.
    bool step();
    std::int64_t integer(int column) const;
    // The column's bytes, valid until the next step.
    std::string_view blob(int column) const;

private:
    SqliteDatabase& db_;
    sqlite3_stmt* statement_ = nullptr;
};

} // namespace tb
